; Relógio e calendário: H diz a hora, D a data e o dia da semana,
; T quanto falta para um horário digitado. ESC termina.
@inicia
ESCREVE "Relógio e calendário. H hora, D data, T tempo até um horário, ESC sai."
ENQUANTO VERDADEIRO
  LE "Tecla: " K &
  ESCREVE ""
  K := MAIUSC(K)
  SE K = "#27" ENTAO QUEBRA
  SE K = "H"
    ESCREVE "Agora são", HORA
  SENAO SE K = "D"
    ESCREVE "Hoje é", DIA + ",", DATA
  SENAO SE K = "T"
    CHAMA @ATE_HORARIO
  SENAO
    ESCREVE "H hora, D data, T tempo até um horário, ESC sai."
  FIM SE
FIM ENQUANTO
ESCREVE "Até logo."
TERMINA

; Minutos do dia de um horário "hh:mm" ou "hh:mm:ss".
FUNCAO MINUTOS(H)
  RETORNA INTEIRO(COPIA_DE(H, 1, 2)) * 60 + INTEIRO(COPIA_DE(H, 4, 5))
FIM FUNCAO

FUNCAO COPIA_DE(T, I, F) : R
  COPIA R T I F
  RETORNA R
FIM FUNCAO

@ATE_HORARIO
LE "Horário (hh:mm): " ALVO
SE TAMANHO(ALVO) <> 5 OU POS(":", ALVO) <> 3
  ESCREVE "Digite o horário como 07:30."
  RETORNA
FIM SE
FALTA := MINUTOS(ALVO) - MINUTOS(HORA)
; um horário que já passou hoje é o de amanhã
SE FALTA < 0 ENTAO SOMA FALTA 1440
ESCREVE "Faltam", FALTA / 60, "horas e", FALTA - (FALTA / 60) * 60, "minutos para", ALVO
RETORNA
