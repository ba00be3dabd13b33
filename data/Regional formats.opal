<opal>
<head>
<title>Regional formats </title>
<version>1.0</version>
<author>Hivewright</author>
<copyright>Free to copy and change</copyright>
</head>
<body bgcolor="rgb(248,244,236)">

<panel align=top height=72 color="rgb(150,84,24)" font="Sans Serif" fontcolor="#FFFFFF">
  <img src="opal_globe.svg" left=18 top=12 width=48 height=48 strech=yes>
  <label value="Regional formats" left=80 top=10 fontsize=16 transparent=yes>
  <label value="How dates, times, numbers and money are written" left=80 top=42 transparent=yes
         fontcolor="rgb(246,224,200)">
</panel>

<panel left=16 top=88 width=full height=134 font="Sans Serif">
  <label value="Dates and times" left=14 top=10 fontsize=11 fontcolor="rgb(150,84,24)" transparent=yes>
  <label value="Short date" left=14 top=42 transparent=yes>
  <input type=select left=150 top=38 width=170 keyname="HKCU\Control Panel\International" valuename=sShortDate>
    <option text="31/12/2024" value="dd/MM/yyyy"><option text="12/31/2024" value="M/d/yyyy">
    <option text="2024-12-31" value="yyyy-MM-dd"><option text="31.12.2024" value="dd.MM.yyyy">
  </input>
  <label value="Time" left=14 top=72 transparent=yes>
  <input type=select left=150 top=68 width=170 keyname="HKCU\Control Panel\International" valuename=sTimeFormat>
    <option text="23:59:00" value="HH:mm:ss"><option text="11:59:00 PM" value="h:mm:ss tt">
  </input>
  <label value="First day of the week" left=14 top=102 transparent=yes>
  <input type=select left=150 top=98 width=170 keyname="HKCU\Control Panel\International"
         valuename=iFirstDayOfWeek>
    <option text=Monday value=0><option text=Tuesday value=1><option text=Wednesday value=2>
    <option text=Thursday value=3><option text=Friday value=4><option text=Saturday value=5>
    <option text=Sunday value=6>
  </input>
</panel>

<panel left=16 top=234 width=300 height=144 font="Sans Serif">
  <label value="Numbers and money" left=14 top=10 fontsize=11 fontcolor="rgb(150,84,24)" transparent=yes>
  <label value="Decimal sign" left=14 top=42 transparent=yes>
  <input left=190 top=38 width=96 keyname="HKCU\Control Panel\International" valuename=sDecimal></input>
  <label value="Thousands separator" left=14 top=72 transparent=yes>
  <input left=190 top=68 width=96 keyname="HKCU\Control Panel\International" valuename=sThousand></input>
  <label value="Currency symbol" left=14 top=102 transparent=yes>
  <input left=190 top=98 width=96 keyname="HKCU\Control Panel\International" valuename=sCurrency></input>
</panel>

<panel left=328 top=234 width=full height=144 font="Sans Serif">
  <label value="Measurement" left=14 top=10 fontsize=11 fontcolor="rgb(150,84,24)" transparent=yes>
  <input type=radio caption="System of measurement" left=14 top=38 width=full height=94
         keyname="HKCU\Control Panel\International" valuename=iMeasure>
    <option text=Metric value=0><option text="U.S." value=1>
  </input>
</panel>

<submit value="Apply" left=16 top=392 font="Sans Serif">
</body>
</opal>
