<opal>
<head>
<title>Wine DLL overrides</title>
<version>1.0</version>
<author>Hivewright</author>
<copyright>Free to copy and change</copyright>
</head>
<body bgcolor="rgb(244,240,240)">

<panel align=top height=72 color="rgb(128,32,48)" font="Sans Serif" fontcolor="#FFFFFF">
  <img src="opal_folder.svg" left=18 top=12 width=48 height=48 strech=yes>
  <label value="Wine DLL overrides" left=80 top=10 fontsize=16 transparent=yes>
  <label value="Apply writes only the DLLs you change; the others stay as they are."
         left=80 top=42 transparent=yes fontcolor="rgb(240,214,218)">
</panel>

<panel left=16 top=88 width=full height=236 font="Sans Serif">
  <label value="Which copy Wine loads" left=14 top=10 fontsize=11 fontcolor="rgb(128,32,48)" transparent=yes>
  <label value="d3d9" left=14 top=42 transparent=yes>
  <input type=select left=120 top=38 width=200 keyname="HKCU\Software\Wine\DllOverrides" valuename=d3d9>
    <option text="Builtin, then native" value="builtin,native"><option text="Native, then builtin" value="native,builtin">
    <option text="Builtin only" value=builtin><option text="Native only" value=native>
  </input>
  <label value="d3d11" left=14 top=72 transparent=yes>
  <input type=select left=120 top=68 width=200 keyname="HKCU\Software\Wine\DllOverrides" valuename=d3d11>
    <option text="Builtin, then native" value="builtin,native"><option text="Native, then builtin" value="native,builtin">
    <option text="Builtin only" value=builtin><option text="Native only" value=native>
  </input>
  <label value="dxgi" left=14 top=102 transparent=yes>
  <input type=select left=120 top=98 width=200 keyname="HKCU\Software\Wine\DllOverrides" valuename=dxgi>
    <option text="Builtin, then native" value="builtin,native"><option text="Native, then builtin" value="native,builtin">
    <option text="Builtin only" value=builtin><option text="Native only" value=native>
  </input>
  <label value="d3dcompiler_47" left=14 top=132 transparent=yes>
  <input type=select left=120 top=128 width=200 keyname="HKCU\Software\Wine\DllOverrides" valuename=d3dcompiler_47>
    <option text="Builtin, then native" value="builtin,native"><option text="Native, then builtin" value="native,builtin">
    <option text="Builtin only" value=builtin><option text="Native only" value=native>
  </input>
  <label value="xinput1_3" left=14 top=162 transparent=yes>
  <input type=select left=120 top=158 width=200 keyname="HKCU\Software\Wine\DllOverrides" valuename=xinput1_3>
    <option text="Builtin, then native" value="builtin,native"><option text="Native, then builtin" value="native,builtin">
    <option text="Builtin only" value=builtin><option text="Native only" value=native>
  </input>
  <label value="winhttp" left=14 top=192 transparent=yes>
  <input type=select left=120 top=188 width=200 keyname="HKCU\Software\Wine\DllOverrides" valuename=winhttp>
    <option text="Builtin, then native" value="builtin,native"><option text="Native, then builtin" value="native,builtin">
    <option text="Builtin only" value=builtin><option text="Native only" value=native>
  </input>
</panel>

<submit value="Apply" left=16 top=336 font="Sans Serif">
</body>
</opal>
