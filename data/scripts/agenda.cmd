; Agenda de contatos: um menu de opções e um formulário. Os contatos ficam
; no arquivo contatos.txt, uma linha por contato, na pasta dos seus scripts.
; No menu, setas escolhem, ENTER confirma e ESC sai; no formulário, TAB,
; ENTER ou as setas passam de campo, F9 oferece as opções de um campo e
; ESC termina.
@inicia
ARQUIVO := "contatos.txt"
ITEM := 1
; o menu fica no alto da tela (linhas 3 a 5); o resto, da linha 7 em diante
TELA LIMPA
ESCREVE "Agenda de contatos"
MENU CRIA 1 3 40 5
MENU ADICIONA "Novo contato"
MENU ADICIONA "Listar contatos"
MENU ADICIONA "Sair"
ENQUANTO VERDADEIRO
  MENU EXECUTA ITEM TECLA TEXTO
  ; ESC dá o item 0
  SE ITEM = 0 OU ITEM = 3 ENTAO QUEBRA
  SE ITEM = 1 ENTAO CHAMA @NOVO
  SE ITEM = 2 ENTAO CHAMA @LISTA
FIM ENQUANTO
MENU TERMINA
TELA LIMPA 3 25
TELA @1, 3
ESCREVE "Agenda fechada."
TERMINA

@NOVO
TELA LIMPA 7 25
TELA @1, 7
NOME := ""
FONE := ""
TIPO_FONE := "celular"
FORM CRIA
FORM CAMPO "Nome: " TAMANHO 40 NOME
FORM CAMPO "Telefone: " TAMANHO 20 FONE
FORM CAMPO "Tipo: " TAMANHO 10 TIPO_FONE LISTA ["celular", "casa", "trabalho"]
FORM EDITA
SE TRIM(NOME) = ""
  ESCREVE "Sem nome, nada foi guardado."
  RETORNA
FIM SE
; & abre para acrescentar e cria o arquivo na primeira vez
ABRE #1 ARQUIVO &
ESCREVE #1 TRIM(NOME) + " - " + TRIM(FONE) + " (" + TIPO_FONE + ")"
FECHA #1
ESCREVE "Guardado:", NOME
RETORNA

@LISTA
TELA LIMPA 7 25
TELA @1, 7
ABRE MUDO #1 ARQUIVO
CHECA ERRO
SE ERRO <> 0
  ESCREVE "A agenda ainda está vazia."
  RETORNA
FIM SE
N := 0
ENQUANTO NAO(FDA(#1))
  LE #1 LINHA
  SOMA N 1
  ESCREVE N, LINHA
FIM ENQUANTO
FECHA #1
ESCREVE N, "contato(s)."
RETORNA
