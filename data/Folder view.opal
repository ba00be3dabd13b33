<opal>
<head>
<title>Folder view </title>
<version>1.0</version>
<author>Hivewright</author>
<copyright>Free to copy and change</copyright>
</head>
<body bgcolor="rgb(236,241,248)" background="opal_backdrop.svg">

<panel align=top height=72 color="rgb(38,78,132)" font="Sans Serif" fontcolor="#FFFFFF">
  <img src="opal_folder.svg" left=18 top=12 width=48 height=48 strech=yes>
  <label value="Folder view" left=80 top=10 fontsize=16 transparent=yes>
  <label value="How folder windows show your files and drives" left=80 top=42 transparent=yes
         fontcolor="rgb(208,222,242)">
</panel>

<panel left=16 top=88 width=full height=138 font="Sans Serif">
  <label value="Files and folders" left=14 top=10 fontsize=11 fontcolor="rgb(38,78,132)" transparent=yes>
  <input type=checkbox caption="Show hidden files and folders" left=14 top=36 width=full
         keyname="HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced" valuename=Hidden
         datatype=REG_DWORD><option text=true value=1><option text=false value=2></input>
  <input type=checkbox caption="Hide the extensions of known file types" left=14 top=60 width=full
         keyname="HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced" valuename=HideFileExt
         datatype=REG_DWORD><option text=true value=1><option text=false value=0></input>
  <input type=checkbox caption="Show protected system files" left=14 top=84 width=full
         keyname="HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced" valuename=ShowSuperHidden
         datatype=REG_DWORD><option text=true value=1><option text=false value=0></input>
  <input type=checkbox caption="Open each folder window in a process of its own" left=14 top=108 width=full
         keyname="HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced" valuename=SeparateProcess
         datatype=REG_DWORD><option text=true value=1><option text=false value=0></input>
</panel>

<panel left=16 top=238 width=300 height=176 font="Sans Serif">
  <label value="Windows" left=14 top=10 fontsize=11 fontcolor="rgb(38,78,132)" transparent=yes>
  <label value="Open new windows at" left=14 top=42 transparent=yes>
  <input type=select left=160 top=38 width=126
         keyname="HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced" valuename=LaunchTo
         datatype=REG_DWORD>
    <option text="This computer" value=1><option text="Quick access" value=2><option text="Downloads" value=3>
  </input>
  <input type=radio caption="Task bar buttons" left=14 top=74 width=272 height=90
         keyname="HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced" valuename=TaskbarSmallIcons
         datatype=REG_DWORD>
    <option text="Large buttons" value=0><option text="Small buttons" value=1>
  </input>
</panel>

<panel left=328 top=238 width=full height=176 font="Sans Serif">
  <label value="No AutoPlay for" left=14 top=10 fontsize=11 fontcolor="rgb(38,78,132)" transparent=yes>
  <input type=checklistbox left=14 top=38 width=full height=126
         keyname="HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer" valuename=NoDriveTypeAutoRun
         datatype=REG_DWORD>
    <option text="Drives of unknown type" value=1><option text="Removable drives" value=4>
    <option text="Fixed drives" value=8><option text="Network drives" value=16>
    <option text="CD and DVD drives" value=32><option text="RAM disks" value=64>
  </input>
</panel>

<submit value="Apply" left=16 top=424 font="Sans Serif">
</body>
</opal>
