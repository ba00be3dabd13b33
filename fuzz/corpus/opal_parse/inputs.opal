<opal><head></head><body>
<input type=select keyname=HKLM\K valuename=V datatype=REG_SZ>
<option text=Off value=0>
<OPTION TEXT="On &quot;fast&quot;" VALUE=1>
</input>
<input type=checklistbox datatype=REG_DWORD keyname=HKCU\K valuename=Flags><option text=A value=1><option text=B value=2><option text=C value=4></input>
<input type=textarea keyname=HKCU\K valuename=Notes>line one
line two &lt;b&gt;</input>
</body></opal>