; Baixar um arquivo da internet: pede o endereço e o nome do arquivo a
; gravar (ENTER usa o nome que está no fim do endereço). Sem MUDO, o BAIXA
; diz o tamanho e o tipo, e uma falha para o script com o motivo; com MUDO
; ele não diz nada e o script confere o resultado com CHECA.
@inicia
LE "Endereço (http:// ou https://): " URL
URL := TRIM(URL)
SE URL = ""
  ESCREVE "Nada a baixar."
  TERMINA
FIM SE
; o nome proposto é o que vem depois da última barra
SEPARA PARTES URL "/"
NOME := PARTES[TAMANHO(PARTES) - 1]
SE NOME = "" ENTAO NOME := "baixado.htm"
LE "Gravar como: " EDITA NOME
ESCREVE "Baixando", URL
BAIXA MUDO URL NOME
CHECA ERRO
SE ERRO = 0
  ESCREVE "Pronto:", NOME, "tem", TAMANHO(CONTEUDO(NOME)), "linhas."
SENAO
  ESCREVE "O arquivo não foi baixado: o endereço não existe, a rede falhou ou o arquivo veio incompleto."
FIM SE
