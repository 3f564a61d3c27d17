; Saudação: o primeiro script do README. Pergunta o nome e cumprimenta.
; Um rótulo é uma linha de @ e o nome; a opção E começa em @inicia.
@inicia
LE "Qual seu nome? " NOME
ESCREVE "Bom dia,", NOME
