# Started by programas.scr without waiting: it waits (at most ten seconds)
# for the script to make the file "sinal", then answers with "resposta.txt".
for i in $(seq 200); do
  [ -f sinal ] && break
  sleep 0.05
done
echo fim > resposta.txt
