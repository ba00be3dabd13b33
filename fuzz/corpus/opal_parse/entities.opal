<opal version=2><opal><title>&lt &gt;&quot	&amp
&lta &AMP;</title></head><body><label value=a&gt;b><label value="multi
line	value"><a =x "q"=y &gt;z></body></opal>trailing