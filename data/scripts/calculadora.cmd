; Calculadora falada: pede dois números e a operação e diz o resultado.
; ENTER sem número termina. As contas são de números inteiros.
@inicia
ESCREVE "Calculadora falada. ENTER sem número termina."
ENQUANTO VERDADEIRO
  LE "Primeiro número: " INTEIRO A
  ; INTEIRO deixa a variável indefinida quando nada foi digitado
  SE TIPO(A) <> "inteiro" ENTAO QUEBRA
  LE "Operação (+, -, * ou /): " OP
  LE "Segundo número: " INTEIRO B
  SE TIPO(B) <> "inteiro" ENTAO QUEBRA
  SE OP = "+"
    ESCREVE A, "mais", B, "é igual a", A + B
  SENAO SE OP = "-"
    ESCREVE A, "menos", B, "é igual a", A - B
  SENAO SE OP = "*"
    ESCREVE A, "vezes", B, "é igual a", A * B
  SENAO SE OP = "/"
    ; dividir por zero pararia o script: avisa e pede de novo
    SE B = 0
      ESCREVE "Não se divide por zero."
    SENAO
      ESCREVE A, "dividido por", B, "é igual a", A / B, "e sobra", A - (A / B) * B
    FIM SE
  SENAO
    ESCREVE "Operação desconhecida:", OP
  FIM SE
  DESTROI A
  DESTROI B
FIM ENQUANTO
ESCREVE "Fim da calculadora."
