#!/usr/bin/perl
# zv_Test.pl version 1.2 by someone  for test boards
#[DIALOG]
#_URL=ƒAƒhƒŒƒX(&A):\nURL=1
#L000=L,,head\nL001=C,SAGE,sage\nL002=R,MODE=1,one\nL003=R,MODE=2,two
#L004=P,COLOR,col\nL005=F,SND,snd(*.wav)\nL006=T,TAG,tag\nL007=.
#[/DIALOG]
