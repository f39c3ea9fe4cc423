#!/bin/bash
# Opções da linha de comando no executável de verdade: códigos de saída, mensagens e arquivos;
# a listagem de cada rodada com opções é idêntica à da rodada sem elas (cabeçalho e data à parte).
set -u
placa=$(realpath "$1") exemplos=$(realpath "$2")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }
unset EDITOR VISUAL
# listagem sem as linhas 2 (cabeçalho), 4 (data) e a do tempo de CPU
corpo() { sed -e '2d;4d' -e '/ = tempo de CPU (segundos)/d' "$1"; }

cp "$exemplos/tervano3.ent" .
"$placa" </dev/null >saida.txt 2>erro.txt || falha "rodada sem opções"
mv exemplo1.lst base.lst

# ajuda e versão: saída padrão, código 0, nada rodado
"$placa" -h >saida.txt 2>erro.txt; rc=$?
[ $rc -eq 0 ] && grep -q '^Usage: placa \[OPTIONS\] \[INPUT\]' saida.txt && [ ! -s erro.txt ] || falha "-h ($rc)"
"$placa" --version >saida.txt; grep -qE '^placa [0-9]+\.[0-9]+\.[0-9]+ ' saida.txt || falha "--version"
[ -f exemplo1.lst ] && falha "-h/-V rodaram a solução"

# uso errado: uma linha de erro e a dica, código 2, nada rodado
for args in "--bogus" "-x" "-j" "-j 0" "-j abc" "-j 2x" "--csv" "--plot=" "a.ent b.ent" "--csv - -m"; do
    # shellcheck disable=SC2086
    "$placa" $args >saida.txt 2>erro.txt; rc=$?
    [ $rc -eq 2 ] || falha "'$args': código $rc"
    [ "$(wc -l <erro.txt)" -eq 2 ] && head -1 erro.txt | grep -q '^placa: ' &&
        sed -n 2p erro.txt | grep -q "^Try 'placa --help'" || falha "'$args': mensagem $(cat erro.txt)"
    [ -s saida.txt ] && falha "'$args': algo na saída padrão"
done
[ -f exemplo1.lst ] && falha "uso errado rodou a solução"

# -n: nenhum editor, nem com EDITOR definido
printf '#!/bin/sh\necho "$1" >> editados.txt\n' > editor.sh && chmod +x editor.sh
EDITOR="$dir/editor.sh" "$placa" -n </dev/null >saida.txt || falha "-n"
[ -f editados.txt ] && falha "-n abriu o editor"
[ -s saida.txt ] && falha "sem -m, algo na saída padrão"
cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "listagem com -n difere"

# entrada com outro nome, por argumento
cp tervano3.ent outra.ent && sed -i '1s/.*/outra.lst/' outra.ent
"$placa" -n outra.ent || falha "INPUT"
[ -f outra.lst ] || falha "INPUT: sem outra.lst"

# -m: uma linha por iteração e o sumário com o erro verdadeiro
"$placa" -n -m >saida.txt || falha "-m"
[ "$(grep -c '^  *[1-9][0-9]*   [0-9]' saida.txt)" -eq 6 ] || falha "-m: linhas de iteração: $(cat saida.txt)"
grep -q '^         6   2.563326E-09   2.496289E-02   3.699423E-02$' saida.txt || falha "-m: linha 6"
tail -2 saida.txt | head -1 | grep -q '^convergiu em 6 iterações: .*erro máximo [0-9.E+-]*, erro médio ' || falha "-m: sumário"
tail -1 saida.txt | grep -q '^threads: [0-9]* pedidas, [0-9]* usadas' || falha "-m: threads"
cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "listagem com -m difere"

# --csv: cabeçalho e niter+1 linhas, números que releem os mesmos doubles
"$placa" -n --csv hist.csv || falha "--csv"
[ "$(head -1 hist.csv)" = $'iteracao,L1(R),L1(R)i/L1(R)o,q,qmed\r' ] || falha "--csv: cabeçalho"
[ "$(wc -l <hist.csv)" -eq 8 ] || falha "--csv: linhas"
grep -q $'^0,2599.2116192278686,1,,\r$' hist.csv || falha "--csv: linha 0"
"$placa" -n --csv - >saida.txt && cmp -s saida.txt hist.csv || falha "--csv -"
cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "listagem com --csv difere"

# --summary: cabeçalho só uma vez, uma linha por rodada
rm -f estudo.csv
for n in 1 2 3; do
    sed "7s/.*/$n/" tervano3.ent > n$n.ent
    "$placa" -n --summary estudo.csv n$n.ent || falha "--summary $n"
done
[ "$(wc -l <estudo.csv)" -eq 4 ] || falha "--summary: $(cat estudo.csv)"
[ "$(grep -c '^caso,' estudo.csv)" -eq 1 ] || falha "--summary: cabeçalhos"
awk -F, 'NR>1 && $5 != NR-1 {exit 1}' estudo.csv || falha "--summary: nitm por linha"
: > vazio.csv && "$placa" -n --summary vazio.csv && head -1 vazio.csv | grep -q '^caso,nm,' || falha "--summary em arquivo vazio"

# -j: mesma listagem com qualquer número de threads
for j in 1 2 3; do
    "$placa" -n -j $j && cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "-j $j"
done

# --plot: com gnuplot, dois SVG bem formados com os títulos; sem ele, uma linha e código 1
if command -v gnuplot >/dev/null; then
    "$placa" -n --plot fig 2>erro.txt || falha "--plot: $(cat erro.txt)"
    for f in fig-convergencia.svg fig-campo.svg; do
        python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' "$f" || falha "$f malformado"
    done
    grep -q "Convergência: exemplo1.lst" fig-convergencia.svg || falha "título da convergência"
    grep -q 'Campo de temperaturas T: exemplo1.lst' fig-campo.svg || falha "título do campo"
    cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "listagem com --plot difere"
else
    echo "gnuplot ausente: só o caso sem gnuplot"
    [ "${PLACA_EXIGE_GNUPLOT:-0}" = 1 ] && falha "gnuplot ausente, mas a CI o exige"
fi
rm -f exemplo1.lst
mkdir -p vazio && PATH="$dir/vazio" "$placa" -n --plot sem 2>erro.txt; rc=$?
[ $rc -eq 1 ] || falha "--plot sem gnuplot: código $rc"
[ "$(wc -l <erro.txt)" -eq 1 ] && grep -q '^placa: gnuplot not found' erro.txt || falha "--plot sem gnuplot: $(cat erro.txt)"
[ -f exemplo1.lst ] || falha "--plot sem gnuplot: listagem não foi escrita"

[ $falhas -eq 0 ] && echo "opções: tudo certo"
exit $((falhas > 0))
