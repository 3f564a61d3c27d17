; Leitor de arquivo texto com busca. Pede o nome do arquivo e lê uma linha
; por vez: seta para baixo ou ENTER a próxima, seta para cima a anterior,
; B busca um texto daqui em diante, N repete a busca, I volta ao início,
; ESC termina.
@inicia
LE "Arquivo a ler: " NOME
ABRE MUDO #1 NOME
CHECA ERRO
SE ERRO <> 0
  ESCREVE "Não consegui abrir", NOME
  TERMINA
FIM SE
LINHAS := []
ENQUANTO NAO(FDA(#1))
  LE #1 L
  INSERE(LINHAS, TAMANHO(LINHAS), L)
FIM ENQUANTO
FECHA #1
TOTAL := TAMANHO(LINHAS)
SE TOTAL = 0
  ESCREVE NOME, "está vazio."
  TERMINA
FIM SE
ESCREVE NOME, "tem", TOTAL, "linhas."
ATUAL := 0
BUSCADO := ""
ESCREVE LINHAS[ATUAL]
ENQUANTO VERDADEIRO
  LE K &
  K := MAIUSC(K)
  SE K = "#27"
    QUEBRA
  SENAO SE K = "#0#80" OU K = "#13"
    SE ATUAL + 1 < TOTAL
      SOMA ATUAL 1
      ESCREVE LINHAS[ATUAL]
    SENAO
      ESCREVE "Fim do arquivo."
    FIM SE
  SENAO SE K = "#0#72"
    SE ATUAL > 0 ENTAO SUBTRAI ATUAL 1
    ESCREVE LINHAS[ATUAL]
  SENAO SE K = "I"
    ATUAL := 0
    ESCREVE LINHAS[ATUAL]
  SENAO SE K = "B" OU K = "N"
    SE K = "B" OU BUSCADO = ""
      LE "Buscar: " BUSCADO
    FIM SE
    ; a busca começa na linha seguinte e não distingue maiúsculas
    SE BUSCADO <> ""
      PROCURA P LINHAS ATUAL + 1 BUSCADO PARCIAL MAIUSC
      SE P < 0
        ESCREVE "Não achei", BUSCADO
      SENAO
        ATUAL := P
        ESCREVE "Linha", ATUAL + 1, ":", LINHAS[ATUAL]
      FIM SE
    FIM SE
  SENAO
    ESCREVE "Baixo ou ENTER próxima, cima anterior, B busca, N de novo, I início, ESC sai."
  FIM SE
FIM ENQUANTO
ESCREVE "Fim da leitura."
