<opal><head><title>Panels</title></head><body bgcolor=rgb(10,20,30)>
<panel name=outer color=#FF0000 align=top height=80>
<panel name=inner transparent=yes><label value=x left=5 top=5></panel>
<img src=pic.bmp strech=true width=full>
</panel>
<label value=after></label><br>
</body></opal>