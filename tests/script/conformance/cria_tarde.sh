# Started by programas.scr, which waits for it: the file comes late.
sleep 0.3
echo pronto > feito.txt
