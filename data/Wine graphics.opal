<opal>
<head>
<title>Wine graphics and version</title>
<version>1.0</version>
<author>Hivewright</author>
<copyright>Free to copy and change</copyright>
</head>
<body bgcolor="rgb(244,240,240)">

<panel align=top height=72 color="rgb(128,32,48)" font="Sans Serif" fontcolor="#FFFFFF">
  <img src="opal_desktop.svg" left=18 top=12 width=48 height=48 strech=yes>
  <label value="Wine graphics and version" left=80 top=10 fontsize=16 transparent=yes>
  <label value="For a Wine prefix (Registry, Open Wine Prefix...). Apply writes only the settings you change."
         left=80 top=42 transparent=yes fontcolor="rgb(240,214,218)">
</panel>

<panel left=16 top=88 width=full height=168 font="Sans Serif">
  <label value="Windows and desktop" left=14 top=10 fontsize=11 fontcolor="rgb(128,32,48)" transparent=yes>
  <label value="Screen resolution" left=14 top=42 transparent=yes>
  <input type=select datatype=REG_DWORD left=300 top=38 width=200 keyname="HKCU\Control Panel\Desktop"
         valuename=LogPixels>
    <option text="96 dpi (100 %)" value=96><option text="120 dpi (125 %)" value=120>
    <option text="144 dpi (150 %)" value=144><option text="192 dpi (200 %)" value=192>
  </input>
  <input type=checkbox caption="Let the window manager decorate the windows" left=14 top=72 width=full
         keyname="HKCU\Software\Wine\X11 Driver" valuename=Decorated>
    <option text=true value=Y><option text=false value=N>
  </input>
  <input type=checkbox caption="Let the window manager control the windows" left=14 top=100 width=full
         keyname="HKCU\Software\Wine\X11 Driver" valuename=Managed>
    <option text=true value=Y><option text=false value=N>
  </input>
  <label value="Virtual desktop size (empty: none)" left=14 top=134 transparent=yes>
  <input left=300 top=130 width=140 keyname="HKCU\Software\Wine\Explorer\Desktops" valuename=Default></input>
</panel>

<panel left=16 top=268 width=full height=100 font="Sans Serif">
  <label value="Desktop in use and version" left=14 top=10 fontsize=11 fontcolor="rgb(128,32,48)" transparent=yes>
  <label value="Desktop in use (Default, or empty for none)" left=14 top=42 transparent=yes>
  <input left=300 top=38 width=100 keyname="HKCU\Software\Wine\Explorer" valuename=Desktop></input>
  <label value="Windows version Wine reports" left=14 top=72 transparent=yes>
  <input type=select left=300 top=68 width=200 keyname="HKCU\Software\Wine" valuename=Version>
    <option text="Windows 11" value=win11><option text="Windows 10" value=win10>
    <option text="Windows 8.1" value=win81><option text="Windows 8" value=win8>
    <option text="Windows 7" value=win7><option text="Windows Vista" value=vista>
    <option text="Windows XP" value=winxp64>
  </input>
</panel>

<submit value="Apply" left=16 top=380 font="Sans Serif">
</body>
</opal>
