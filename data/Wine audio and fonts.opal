<opal>
<head>
<title>Wine audio and fonts</title>
<version>1.0</version>
<author>Hivewright</author>
<copyright>Free to copy and change</copyright>
</head>
<body bgcolor="rgb(244,240,240)">

<panel align=top height=72 color="rgb(128,32,48)" font="Sans Serif" fontcolor="#FFFFFF">
  <img src="opal_globe.svg" left=18 top=12 width=48 height=48 strech=yes>
  <label value="Wine audio and fonts" left=80 top=10 fontsize=16 transparent=yes>
  <label value="The sound driver and the fonts Wine uses in place of others. Apply writes only what you change."
         left=80 top=42 transparent=yes fontcolor="rgb(240,214,218)">
</panel>

<panel left=16 top=88 width=full height=72 font="Sans Serif">
  <label value="Audio" left=14 top=10 fontsize=11 fontcolor="rgb(128,32,48)" transparent=yes>
  <label value="Driver" left=14 top=42 transparent=yes>
  <input type=select left=120 top=38 width=200 keyname="HKCU\Software\Wine\Drivers" valuename=Audio>
    <option text="PulseAudio" value=pulse><option text="ALSA" value=alsa><option text="OSS" value=oss>
    <option text="No sound" value="">
  </input>
</panel>

<panel left=16 top=172 width=full height=140 font="Sans Serif">
  <label value="Font replacements (a font name, or empty for none)" left=14 top=10 fontsize=11
         fontcolor="rgb(128,32,48)" transparent=yes>
  <label value="Tahoma" left=14 top=42 transparent=yes>
  <input left=160 top=38 width=240 keyname="HKCU\Software\Wine\Fonts\Replacements" valuename=Tahoma></input>
  <label value="MS Sans Serif" left=14 top=72 transparent=yes>
  <input left=160 top=68 width=240 keyname="HKCU\Software\Wine\Fonts\Replacements" valuename="MS Sans Serif"></input>
  <label value="Segoe UI" left=14 top=102 transparent=yes>
  <input left=160 top=98 width=240 keyname="HKCU\Software\Wine\Fonts\Replacements" valuename="Segoe UI"></input>
</panel>

<submit value="Apply" left=16 top=324 font="Sans Serif">
</body>
</opal>
