ESCREVE "fora do rótulo"
@INICIA
X := 3
SE X = 1
  ESCREVE "um"
SENAO
SE X = 3
  ESCREVE "três"
FIM SE
ESCREVE "fim"
