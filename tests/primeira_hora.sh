#!/bin/bash
# A primeira hora de um usuário de Linux, no executável de verdade: acentos em cada codificação (conferidos byte a
# byte), avisos de enganos na entrada, linha de progresso num terminal, mensagens das opções, página de manual.
set -u
placa=$(realpath "$1") exemplos=$(realpath "$2") manual=$(realpath "$3")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }
unset EDITOR VISUAL
export LC_ALL=C.UTF-8
# listagem sem as linhas 2 (cabeçalho), 4 (data) e a do tempo de CPU
corpo() { sed -e '2d;4d' -e '/ = tempo de CPU (segundos)/d' "$1"; }
ent() { sed "1s/.*/$1/;12s/.*/$2/" "$exemplos/tervano3.ent"; }

# ---- um título digitado em UTF-8 vira Latin-1 na listagem; --utf8 escreve os mesmos caracteres em UTF-8
ent "'placa-ação.lst'" "'Placa quadradação €'" > u.ent
"$placa" -n u.ent 2>erro.txt || falha "rodada UTF-8: $(cat erro.txt)"
[ -f "placa-ação.lst" ] || falha "a listagem não tem o nome como foi escrito: $(ls)"
grep -qa $'^t\xedtulo = Placa quadrada\xe7\xe3o ?\r$' "placa-ação.lst" || falha "título não virou Latin-1"
grep -qa $'^placa-a\xe7\xe3o.lst   = caso' "placa-ação.lst" || falha "caso não virou Latin-1"
grep -q "line 12: titulo has 1 character(s) that Latin-1 lacks" erro.txt || falha "sem aviso do €: $(cat erro.txt)"
cp "placa-ação.lst" latin1.lst
"$placa" -n --utf8 u.ent 2>/dev/null || falha "--utf8"
iconv -f utf-8 -t utf-8 "placa-ação.lst" >/dev/null 2>&1 || falha "--utf8: não é UTF-8"
cmp -s <(corpo latin1.lst | iconv -f latin1 -t utf-8) <(corpo "placa-ação.lst") || falha "--utf8: outros caracteres"
grep -q $'^  Iteração   L1(R)i/L1(R)o  q              qmed\r$' "placa-ação.lst" || falha "--utf8: cabeçalho"

# ---- resumo e CSV sempre em UTF-8, mesmo com um caso Latin-1 de um arquivo antigo
ent $'\'caso-\xe7.lst\'' "'Latin-1'" > l.ent
"$placa" -n --summary r.csv l.ent && "$placa" -n --summary r.csv u.ent 2>/dev/null || falha "resumo"
iconv -f utf-8 -t utf-8 r.csv >/dev/null 2>&1 || falha "resumo com bytes que não são UTF-8"
grep -q '^caso-ç.lst,' r.csv && grep -q '^placa-ação.lst,' r.csv || falha "resumo: casos $(cut -d, -f1 r.csv)"

# ---- mensagens no conjunto de caracteres do terminal
rm -f $'falta-\xe7.ent'
"$placa" -n $'falta-\xe7.ent' 2>erro.txt
grep -q '^placa: cannot open unit 7, file falta-ç.ent' erro.txt || falha "mensagem UTF-8: $(cat erro.txt)"
LC_ALL=C "$placa" -n $'falta-\xe7.ent' 2>erro.txt
grep -qF 'file falta-\347.ent' erro.txt || falha "mensagem ASCII: $(cat erro.txt)"
LC_ALL=C "$placa" -n -m "$exemplos/tervano3.ent" >saida.txt 2>/dev/null
grep -qF 'Itera\303\247\303\243o' saida.txt && ! grep -qa $'\xc3' saida.txt || falha "monitor num terminal ASCII"

# ---- enganos que as regras de leitura aceitam: um aviso, a rodada segue
sed '5s/.*/1,0e-8       tolt/' "$exemplos/tervano3.ent" > virgula.ent
"$placa" -n virgula.ent 2>erro.txt || falha "vírgula decimal: código"
grep -q "^placa: warning: virgula.ent, line 5: tolt = 1 is followed by ',0e-8' (a decimal comma?)" erro.txt ||
    falha "vírgula decimal: $(cat erro.txt)"

# ---- o campo inicial que já resolve as equações: o monitor diz isso, não "NaN"
printf '%s\n' zero.lst 1 2 9 1e-6 3 1 1 0 0 1 "'sem interior'" > zero.ent
"$placa" -n -m zero.ent >saida.txt 2>/dev/null || falha "campo inicial exato: código"
grep -q "^o campo inicial já resolve as equações discretas (L1(R)o = 0)" saida.txt ||
    falha "campo inicial exato: $(tail -2 saida.txt)"

# ---- linha de progresso: só num terminal, redesenhada e apagada no fim
printf '%s\n' lenta.lst 1 400 400 1e-30 4000 1 2 0 0 1 "'lenta'" > lenta.ent
if command -v script >/dev/null; then
    script -qfec "$placa -n -j 1 lenta.ent" /dev/null >tty.txt 2>&1 </dev/null
    grep -qa 'iteração [0-9]*, [0-9.]* s: L1(R)i/L1(R)o = ' tty.txt || falha "sem linha de progresso num terminal"
    grep -qa 'faltam ~' tty.txt || falha "progresso sem o tempo que falta"
    [ "$(tail -c 4 tty.txt | od -An -tx1 | tr -d ' \n')" = 0d1b5b4b ] || falha "a linha de progresso não foi apagada"
else
    echo "linha de progresso não testada: falta o programa script"
fi
"$placa" -n -j 1 lenta.ent 2>erro.txt; [ -s erro.txt ] && falha "progresso num arquivo: $(head -c 200 erro.txt)"

# ---- opções de chave sem argumento
"$placa" --monitor=yes 2>erro.txt; rc=$?
[ $rc -eq 2 ] && grep -q "^placa: option '--monitor' doesn't allow an argument$" erro.txt || falha "--monitor=yes: $rc"

# ---- a página de manual formata sem avisos
if command -v groff >/dev/null; then
    groff -man -ww -z "$manual" 2>erro.txt; [ -s erro.txt ] && falha "groff: $(cat erro.txt)"
else
    echo "página de manual não conferida: falta o groff"
fi

[ $falhas -eq 0 ] && echo "primeira hora: tudo certo"
exit $((falhas > 0))
