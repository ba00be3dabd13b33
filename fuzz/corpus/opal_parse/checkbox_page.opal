<opal>
<head>
<title>Explorer tweaks</title>
<version>1.0</version>
<author>Someone</author>
<copyright>(c) 2026</copyright>
</head>
<body bgcolor=cream background="back.bmp" readonly=no>
<label value="Choose &amp; save" fontcolor=navy fontsize=12>
<input type=checkbox caption="Hide extensions" keyname="HKCU\Software\Test" valuename=HideExt datatype=REG_DWORD>
<option text=true value=1><option text=false value=0></input>
<submit value=Apply>
</body>
</opal>
