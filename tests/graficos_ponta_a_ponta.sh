#!/bin/bash
# As figuras no executável de verdade: --plot-format svg, png e pdf (os bytes do começo de cada formato), toda figura
# de uma rodada de 1025^2 abaixo de 500 KB, a mensagem de um gnuplot sem o terminal, e as do estudo: categorias como
# pontos agrupados (nenhuma linha entre categorias), séries iguais fundidas, N nas varreduras de grade, --repeat com a
# mediana e a faixa no resumo e as barras e a reta O(N) no tempo, e um resumo sem as colunas de --repeat ainda lido.
set -u
placa=$(realpath "$1") exemplos=$(realpath "$2")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }
unset EDITOR VISUAL
cp "$exemplos/tervano3.ent" .
exige=${PLACA_EXIGE_GNUPLOT:-0}

# ---- --repeat na linha de comando: recusas e uma rodada avulsa (sem gnuplot)
for args in "--repeat 0" "--repeat abc" "--repeat 2x" "--repeat 1001" "--repeat 2 --lfa" "--repeat"; do
    # shellcheck disable=SC2086
    "$placa" -n $args >saida.txt 2>erro.txt; rc=$?
    [ $rc -eq 2 ] && grep -q "^placa: .*repeat" erro.txt || falha "$args: código $rc, $(cat erro.txt)"
done
"$placa" -n --summary base.csv >/dev/null 2>erro.txt && mv exemplo1.lst base.lst || falha "rodada base: $(cat erro.txt)"
"$placa" -n --repeat 3 --summary r.csv >/dev/null 2>erro.txt || falha "--repeat 3: $(cat erro.txt)"
corpo() { sed -e '2d;4d' -e '/ = tempo de CPU (segundos)/d' "$1"; }
cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "--repeat mudou a listagem"
# as colunas pelo nome: repeat, e mediana, menor e maior de CPU e de relógio em ordem
repetidas() {
    python3 - "$@" <<'EOF'
import csv, sys
arquivo, esperado = sys.argv[1], int(sys.argv[2])
linhas = list(csv.DictReader(open(arquivo, newline='', encoding='utf-8')))
assert linhas, 'sem linhas'
for l in linhas:
    assert int(l['repeat']) == esperado, l['repeat']
    for t in ('cpu_s', 'relogio_s'):
        m, a, b = (float(l[t + s]) for s in ('_mediana', '_min', '_max'))
        assert 0 <= a <= m <= b, (t, a, m, b)
        if esperado == 1: assert a == m == b == float(l[t]), (t, l[t], a, m, b)
print(len(linhas))
EOF
}
repetidas r.csv 3 >/dev/null || falha "--repeat 3: as colunas do resumo"
repetidas base.csv 1 >/dev/null || falha "sem --repeat: as colunas do resumo"

if ! command -v gnuplot >/dev/null; then
    echo "gnuplot ausente: as figuras não foram testadas"
    [ "$exige" = 1 ] && falha "gnuplot ausente, mas a CI o exige"
    exit $((falhas > 0))
fi

# ---- os formatos: cada figura com os bytes do seu formato, e abaixo de 500 KB numa rodada de 1025 x 1025
terminais=" $(gnuplot -e 'print GPVAL_TERMINALS' 2>&1) "
formatos=svg
for t in pngcairo:png pdfcairo:pdf; do
    if [[ "$terminais" == *" ${t%%:*} "* ]]; then formatos+=" ${t#*:}"
    else
        echo "gnuplot sem o terminal ${t%%:*}: --plot-format ${t#*:} não testado"
        [ "$exige" = 1 ] && falha "gnuplot sem ${t%%:*}, mas a CI o exige"
    fi
done
magica() { case $1 in svg) head -c 400 "$2" | grep -q '<svg' ;; png) [ "$(head -c 8 "$2" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ;;
    pdf) [ "$(head -c 5 "$2")" = %PDF- ] ;; esac; }
for f in $formatos; do
    "$placa" -n -j 2 --set nm=10 --set caso=g$f.lst --plot g-$f --plot-format $f >/dev/null 2>erro.txt ||
        falha "--plot-format $f: $(cat erro.txt)"
    for fig in convergencia campo erro; do
        a=g-$f-$fig.$f
        [ -f "$a" ] && magica $f "$a" || { falha "$a: não é $f"; continue; }
        t=$(stat -c %s "$a")
        [ "$t" -lt 512000 ] || falha "$a: $t bytes numa rodada de 1025^2"
    done
done
# um gnuplot sem o terminal pedido (o roteiro sai com o código 90 depois de dizer qual falta): a mensagem e o código 1
mkdir sem_cairo && printf '#!/bin/sh\necho "this gnuplot has no pngcairo terminal" >&2\nexit 90\n' >sem_cairo/gnuplot &&
    chmod +x sem_cairo/gnuplot
PATH="$dir/sem_cairo:$PATH" "$placa" -n --plot sc --plot-format png >/dev/null 2>erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q "^placa: gnuplot has no pngcairo terminal" erro.txt && grep -q "plot-format svg" erro.txt &&
    [ -f sc.gp ] && ! [ -e sc-campo.png ] || falha "gnuplot sem cairo: código $rc, $(cat erro.txt)"
grep -q "strstrt(' '.GPVAL_TERMINALS.' ', ' pngcairo ') == 0" sc.gp || falha "o roteiro não confere o terminal"

# ---- estudo de categorias: pontos agrupados, nenhuma linha; o rho da LFA, igual nos dois ciclos, fundido
"$placa" -j 2 --sweep smoother=gs-lex,gs-rb,jacobi --sweep cycle=V,W --restriction full --summary cat.csv --plot cat \
    >/dev/null 2>erro.txt || falha "estudo de categorias: $(cat erro.txt)"
fator=$(sed -n '/^set output figura_fator/,/^set output figura_tempo/p' cat.gp)
grep -q "with points" <<<"$fator" || falha "categorias sem pontos"
grep -qE "with (lines|linespoints|yerrorlines)" <<<"$fator" && falha "categorias unidas por linhas: $fator"
[ "$(grep -c "using (\$1+.*):3:.*with xerrorbars" <<<"$fator")" -eq 1 ] || falha "rho LFA dos dois ciclos não fundido: $fator"
[ "$(grep -c 'keyentry' <<<"$fator")" -eq 4 ] || falha "legenda: uma entrada por série e por quantidade: $fator"
grep -q "set key outside below" <<<"$fator" || falha "legenda sobre os dados"
grep -q "set xtics ('gs-lex' 1, 'gs-rb' 2, 'jacobi' 3)" cat.gp || falha "as categorias no eixo"
# eixo numérico com duas séries de rho iguais: uma curva, com o rótulo das duas
"$placa" -j 2 --sweep nitm=1:3 --sweep cycle=V,W --summary num.csv --plot num >/dev/null 2>erro.txt ||
    falha "estudo numérico: $(cat erro.txt)"
[ "$(sed -n '/^set output figura_fator/,/^set output figura_tempo/p' num.gp | grep -c 'using 1:3 ')" -eq 1 ] &&
    grep -qE "title 'rho LFA \(previsto\): [a-z]+=V,W'" num.gp ||
    falha "rho LFA igual nas duas séries não fundido: $(grep 'using 1:3' num.gp)"
# a LFA contra a medida: em categorias só pontos (mu e rho fundidos entre V e W; rho de k níveis, que depende do
# ciclo, e q por série); no
# eixo numérico mu, rho e rho de 4 níveis como linhas (escala linear) e q em pontos; as colunas 8 e 9 nos dados
[ -s cat-lfa.svg ] && [ -s num-lfa.svg ] || falha "figura da LFA não desenhada"
teoria=$(sed -n '/^set output figura_teoria/,/^set output figura_erro_h/p' cat.gp)
grep -qE "with (lines|linespoints)" <<<"$teoria" && falha "LFA em categorias unida por linhas: $teoria"
[ "$(grep -c "xerrorbars" <<<"$teoria")" -eq 2 ] && [ "$(grep -c "):9 with points" <<<"$teoria")" -eq 2 ] ||
    falha "mu e rho dos dois ciclos fundidos, rho de k níveis um por ciclo: $teoria"
teoria=$(sed -n '/^set output figura_teoria/,$p' num.gp)
grep -q "unset logscale y" <<<"$teoria" && grep -q "using 1:8 with lines dt 3" <<<"$teoria" &&
    grep -q "using 1:9 with lines lw 2" <<<"$teoria" && grep -q "using 1:2 with points" <<<"$teoria" ||
    falha "LFA contra nitm: $teoria"
awk '!/^#/ && NF && (NF != 9 || $8 == "?" || $9 == "?") {exit 1}' num-estudo.dat || falha "mu e rho_k4 nos dados: $(cat num-estudo.dat)"

# ---- estudo de grade com --repeat: x = N, barras do menor ao maior, a reta O(N)
"$placa" -j 2 --sweep nm=3:5 --repeat 3 --summary g.csv --plot g >/dev/null 2>erro.txt || falha "--repeat: $(cat erro.txt)"
[ "$(repetidas g.csv 3 2>&1)" = 3 ] || falha "--repeat 3 no estudo: $(repetidas g.csv 3 2>&1)"
[ "$(grep -v '^#' g-estudo.dat | awk 'NF { print $1 }' | tr '\n' ' ')" = "49 225 961 " ] || falha "x não é N: $(cat g-estudo.dat)"
grep -q "using 1:4:5:6 with yerrorlines" g.gp || falha "tempo sem as barras de --repeat"
grep -q "\*x with lines .*title 'O(N)" g.gp || falha "tempo sem a reta O(N)"
grep -q "set logscale x" g.gp || falha "N sem escala logarítmica"
for f in g-fator.svg g-tempo.svg g-erro-h.svg; do [ -s $f ] || falha "$f não desenhada"; done
# um resumo de antes das colunas de --repeat: a tabela e as figuras, sem barras
python3 -c '
import sys
n = None
for l in open("g.csv", newline=""):
    f = l.rstrip("\r\n").split(",")
    n = f.index("repeat") if n is None else n
    sys.stdout.write(",".join(f[:n]) + "\r\n")' >antigo.csv
"$placa" --study-table antigo.csv --plot ant >tabela.txt 2>erro.txt || falha "--study-table de um resumo antigo: $(cat erro.txt)"
[ "$(grep -c '^exemplo1-nm' tabela.txt)" -eq 3 ] || falha "resumo antigo: $(cat tabela.txt)"
grep -q "using 1:4 with linespoints" ant.gp && ! grep -q yerrorlines ant.gp || falha "resumo antigo: o tempo"

# ---- --lfa --plot: os mapas de Fourier, sem solução e sem listagem; com o coeficiente variável, nada e o aviso
if command -v gnuplot >/dev/null; then
    rm -f exemplo1.lst
    "$placa" -n --lfa --smoother gs-rb --restriction full --plot four >saida.txt 2>erro.txt || falha "--lfa --plot: $(cat erro.txt)"
    for f in four-suavizacao.svg four-dois-niveis.svg four-tres-niveis.svg four-lfa.gp; do [ -s $f ] || falha "--lfa --plot: sem $f"; done
    [ -e exemplo1.lst ] && falha "--lfa --plot escreveu a listagem"
    # a legenda do mapa de três níveis traz o mesmo sup que a tabela impressa
    k3=$(awk '$1 == 3 && $2 == 16 { print $NF }' saida.txt)
    grep -q "rho_lfa_k3 = $k3 " four-lfa.gp || falha "--lfa --plot: o sup de três níveis ($k3) na legenda: $(grep k3 four-lfa.gp)"
    "$placa" -n --lfa --coefficient jump:10 --plot var >saida.txt 2>erro.txt || falha "--lfa --plot variável: $(cat erro.txt)"
    ls var-* >/dev/null 2>&1 && falha "--lfa --plot com o coeficiente variável desenhou"
    grep -q "^placa: warning: .*--plot" erro.txt || falha "--lfa --plot variável sem aviso: $(cat erro.txt)"
fi

[ $falhas -eq 0 ] && echo "gráficos: tudo certo"
exit $((falhas > 0))
