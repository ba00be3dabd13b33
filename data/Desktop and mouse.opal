<opal>
<head>
<title>Desktop and mouse </title>
<version>1.0</version>
<author>Hivewright</author>
<copyright>Free to copy and change</copyright>
</head>
<body bgcolor="rgb(240,244,240)">

<panel align=top height=72 color="rgb(34,110,84)" font="Sans Serif" fontcolor="#FFFFFF">
  <img src="opal_desktop.svg" left=18 top=12 width=48 height=48 strech=yes>
  <label value="Desktop and mouse" left=80 top=10 fontsize=16 transparent=yes>
  <label value="Wallpaper, windows, the mouse and the logon notice" left=80 top=42 transparent=yes
         fontcolor="rgb(206,236,222)">
</panel>

<panel left=16 top=88 width=full height=132 font="Sans Serif">
  <label value="Desktop" left=14 top=10 fontsize=11 fontcolor="rgb(34,110,84)" transparent=yes>
  <label value="Wallpaper file" left=14 top=42 transparent=yes>
  <input left=150 top=38 width=full keyname="HKCU\Control Panel\Desktop" valuename=Wallpaper></input>
  <label value="Wallpaper fits by" left=14 top=72 transparent=yes>
  <input type=select left=150 top=68 width=150 keyname="HKCU\Control Panel\Desktop" valuename=WallpaperStyle>
    <option text="Filling" value=10><option text="Fitting" value=6><option text="Stretching" value=2>
    <option text="Centring" value=0><option text="Spanning" value=22>
  </input>
  <label value="Signed in as" left=330 top=72 transparent=yes>
  <input type=button left=430 top=67 width=full
         keyname="HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer" valuename="Logon User Name">
  </input>
  <input type=checkbox caption="Show window contents while dragging" left=14 top=100 width=full
         keyname="HKCU\Control Panel\Desktop" valuename=DragFullWindows>
    <option text=true value=1><option text=false value=0>
  </input>
</panel>

<panel left=16 top=232 width=300 height=164 font="Sans Serif">
  <label value="Mouse" left=14 top=10 fontsize=11 fontcolor="rgb(34,110,84)" transparent=yes>
  <label value="Double-click time (ms)" left=14 top=42 transparent=yes>
  <input left=190 top=38 width=96 keyname="HKCU\Control Panel\Mouse" valuename=DoubleClickSpeed></input>
  <input type=radio caption="Primary button" left=14 top=70 width=272 height=84
         keyname="HKCU\Control Panel\Mouse" valuename=SwapMouseButtons>
    <option text="Left (right-handed)" value=0><option text="Right (left-handed)" value=1>
  </input>
</panel>

<panel left=328 top=232 width=full height=164 font="Sans Serif">
  <label value="Logon notice" left=14 top=10 fontsize=11 fontcolor="rgb(34,110,84)" transparent=yes>
  <label value="Caption" left=14 top=42 transparent=yes>
  <input left=80 top=38 width=full keyname="HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon"
         valuename=LegalNoticeCaption></input>
  <label value="Text" left=14 top=72 transparent=yes>
  <input type=textarea left=80 top=68 width=full height=84
         keyname="HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon" valuename=LegalNoticeText>
  </input>
</panel>

<submit value="Apply" left=16 top=408 font="Sans Serif">
</body>
</opal>
