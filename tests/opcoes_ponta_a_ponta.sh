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
for args in "--bogus" "-x" "-j" "-j 0" "-j abc" "-j 2x" "--csv" "--plot=" "a.ent b.ent" "--csv - -m" \
    "--cycle X" "--cycle" "--pre -1" "--post 1e3" "--coarsest exact" "--smoother sor" "--omega 2" "--omega 0" \
    "--restriction fw" "--start zero" "--start random:4294967296" "--fmg=1" "--eps 0" "--eps -1" "--eps nan" \
    "--coefficient jump:0" "--coefficient jump:1e9" "--coefficient checker:10" "--coefficient layers:10:0" \
    "--problem sin:0:1" "--problem bogus" "--problem constant:inf" "--problem sin:1:1 --coefficient jump:10"; do
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
grep -q '^convergiu em 6 iterações: .*erro máximo [0-9.E+-]*, erro médio ' saida.txt || falha "-m: sumário"
tail -1 saida.txt | grep -q '^threads: [0-9]* pedidas, [0-9]* usadas' || falha "-m: threads"
cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "listagem com -m difere"

# --csv: cabeçalho (nenhum comentário antes) e niter+1 linhas, números que releem os mesmos doubles, o método em
# colunas com os nomes das opções
"$placa" -n --csv hist.csv || falha "--csv"
[ "$(head -1 hist.csv)" = $'iteracao,L1(R),L1(R)i/L1(R)o,q,qmed,cycle,fmg,pre,post,coarsest,smoother,omega,restriction,start,eps,coefficient,problem,coarse-operator,interpolation,coarsening,krylov,L2(R),max(R),L2(R)_krylov,post-order\r' ] ||
    falha "--csv: cabeçalho: $(head -1 hist.csv)"
[ "$(wc -l <hist.csv)" -eq 8 ] || falha "--csv: linhas"
grep -q $'^0,2599.2116192278686,1,,,V,0,2,2,2,gs-lex,1,injection,tipo_ci,1,constant,sinusoidal,rediscretize,bilinear,full,none,724.0773439350247,256,,same\r$' hist.csv || falha "--csv: linha 0"
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

# método: o clássico dado por extenso não muda a listagem; outro método ganha o bloco MÉTODO, as colunas do CSV e do
# resumo e a linha do monitor, com os nomes e os valores como se digitam
"$placa" -n --cycle V --pre 2 --post 2 --coarsest 2 --smoother gs-lex --omega 1 --restriction injection \
    || falha "método clássico por extenso"
cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "método clássico por extenso: listagem difere"
grep -q "$(printf 'M\311TODO')" base.lst && falha "listagem clássica com bloco MÉTODO"
"$placa" -n -m --cycle W --smoother gs-rb --restriction full --coarsest solve --start random:3 --csv m.csv \
    --summary m-resumo.csv >saida.txt 2>erro.txt || falha "método W gs-rb: $(cat erro.txt)"
[ -s erro.txt ] && falha "método W gs-rb: algo no erro padrão: $(cat erro.txt)"
head -1 saida.txt | grep -q '^método: cycle=W fmg=0 pre=2 post=2 coarsest=solve smoother=gs-rb omega=1 restriction=full start=random:3 coarse-operator=rediscretize interpolation=bilinear coarsening=full krylov=none post-order=same eps=1 coefficient=constant problem=sinusoidal$' ||
    falha "método no monitor: $(head -1 saida.txt)"
iconv -f latin1 -t utf8 exemplo1.lst > m.txt
grep -A12 '= freq:' m.txt | sed -n '2,3p' | tr -d '\r' | paste -sd'|' | grep -qx '|     MÉTODO' || falha "bloco MÉTODO: $(cat m.txt)"
grep -q $'^exato             = grosso: nível 1 resolvido por método direto\r$' m.txt || falha "bloco MÉTODO: grosso"
grep -q $'^          3       = semente: do início aleatório\r$' m.txt || falha "bloco MÉTODO: semente"
[ "$(cut -d, -f6-21 m.csv | sort -u | tr -d '\r' | paste -sd'|')" = 'W,0,2,2,solve,gs-rb,1,full,random:3,1,constant,sinusoidal,rediscretize,bilinear,full,none|cycle,fmg,pre,post,coarsest,smoother,omega,restriction,start,eps,coefficient,problem,coarse-operator,interpolation,coarsening,krylov' ] ||
    falha "método no CSV: $(cat m.csv)"
tail -1 m-resumo.csv | grep -q ',W,0,2,2,solve,gs-rb,1,full,random:3,' || falha "método no resumo: $(cat m-resumo.csv)"
head -1 m-resumo.csv | grep -q ',erro_medio,convergiu,data_hora,cycle,fmg,pre,post,coarsest,smoother,omega,restriction,start,mu_lfa,' ||
    falha "cabeçalho do resumo"
for j in 1 2 3; do # gs-rb e jacobi dividem as linhas de um nível grande entre as threads
    for s in gs-rb jacobi; do
        sed '2s/.*/2/; 3s/.*/200/; 4s/.*/190/; 6s/.*/3/' tervano3.ent > grande.ent
        "$placa" -n -j $j --smoother $s --fmg grande.ent && corpo exemplo1.lst > "j$j-$s.txt" || falha "-j $j $s"
    done
done
for s in gs-rb jacobi; do
    cmp -s "j1-$s.txt" "j2-$s.txt" && cmp -s "j1-$s.txt" "j3-$s.txt" || falha "$s difere com o número de threads"
done
# o estudo anisotrópico do README, com os mesmos números
rm -f aniso.csv
for s in gs-lex gs-rb line-y line-x line-alt; do
    "$placa" -n --smoother $s --restriction full --summary aniso.csv "$exemplos/anisotropo.ent" || falha "estudo $s"
done
cut -d, -f1,9-11,18-26 aniso.csv | tr -d '\r' > aniso.txt
cat > aniso-esperado.txt <<'FIM'
caso,niter,razao_final,qmed_final,cycle,fmg,pre,post,coarsest,smoother,omega,restriction,start
anisotropo.lst,30,0.17581660342009472,0.9437029866702976,V,0,1,1,1,gs-lex,1,full,tipo_ci
anisotropo.lst,30,0.1854682883093765,0.9453856128430859,V,0,1,1,1,gs-rb,1,full,tipo_ci
anisotropo.lst,30,0.17686710792764782,0.9438904002229409,V,0,1,1,1,line-y,,full,tipo_ci
anisotropo.lst,11,1.778439988754073e-11,0.10537336225096869,V,0,1,1,1,line-x,,full,tipo_ci
anisotropo.lst,11,2.164265393176312e-11,0.10727110988679932,V,0,1,1,1,line-alt,,full,tipo_ci
FIM
cmp -s aniso.txt aniso-esperado.txt || falha "estudo anisotrópico do README: $(diff aniso.txt aniso-esperado.txt)"

# opções que a entrada não usa: um aviso por linha no erro padrão, a rodada segue
sed '2s/.*/1/' tervano3.ent > unica.ent
"$placa" -n --cycle W --fmg --smoother line-x --omega 1.5 unica.ent 2>erro.txt || falha "avisos: código"
[ "$(wc -l <erro.txt)" -eq 2 ] && grep -q '^placa: warning: --cycle, --fmg ignored: a single grid (nm = 1)' erro.txt &&
    grep -q '^placa: warning: --omega ignored: the line smoother line-x' erro.txt || falha "avisos: $(cat erro.txt)"

# o problema: o da entrada dado por opções não muda um byte; valores que não cabem na entrada recusados antes de
# qualquer arquivo (código 1, uma linha), nomeando a opção e o valor
"$placa" -n --eps 1 --problem sinusoidal --coefficient constant || falha "problema da entrada por opções"
cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "listagem com o problema da entrada difere"
rm -f exemplo1.lst
"$placa" -n --coefficient checker:10:40 --summary r.csv 2>erro.txt; rc=$?
[ $rc -eq 1 ] && [ "$(wc -l <erro.txt)" -eq 1 ] && grep -q '^placa: --coefficient checker:10:40: M = 40 is more than' erro.txt ||
    falha "M maior que as células: $rc $(cat erro.txt)"
sed '9s/.*/1/' tervano3.ent > exata.ent
"$placa" -n --problem constant:1 exata.ent 2>erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q '^placa: exata.ent: tipo_ci = 1 starts from the exact solution, but the problem constant:1 has none' erro.txt ||
    falha "tipo_ci = 1 sem solução exata: $rc $(cat erro.txt)"
[ -f exemplo1.lst ] || [ -f r.csv ] && falha "recusa deixou arquivos"
"$placa" -n --eps 0.01 --coefficient jump:100 --problem constant:2 --summary r.csv || falha "rodada com o problema"
grep -aq '^   1.00000000E-02 = eps: o operador' exemplo1.lst && grep -aq '^jump:100          = coeficiente:' exemplo1.lst &&
    grep -aq '^constant:2        = problema: o de --problem' exemplo1.lst || falha "bloco MÉTODO sem o problema"
head -1 r.csv | grep -q ',itmax,eps,coefficient,problem,' && sed -n 2p r.csv | grep -q ',0.01,jump:100,constant:2' ||
    falha "resumo: $(cat r.csv)"
rm -f exemplo1.lst

# --plot: com gnuplot, dois SVG bem formados com os títulos; sem ele, uma linha e código 1
if command -v gnuplot >/dev/null; then
    "$placa" -n --plot fig 2>erro.txt || falha "--plot: $(cat erro.txt)"
    [ -s erro.txt ] && falha "--plot: o gnuplot falou no terminal: $(cat erro.txt)"
    for f in fig-convergencia.svg fig-campo.svg fig-erro.svg; do
        python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' "$f" || falha "$f malformado"
        grep -q "Placa quadrada, quatro malhas" "$f" || falha "$f: sem o título da rodada"
        grep -q "nm = 4, 17 x 17 pontos, nitm = 2" "$f" || falha "$f: sem os parâmetros"
        grep -q "método: .*gs-lex" "$f" || falha "$f: o título não diz o método"
    done
    grep -q "tolt = 1e-08" fig-convergencia.svg || falha "convergência sem a linha de tolt"
    grep -q "|T - T exata|" fig-erro.svg || falha "sem o mapa do erro"
    cmp -s <(corpo base.lst) <(corpo exemplo1.lst) || falha "listagem com --plot difere"
    [ -f fig-coeficiente.svg ] && falha "mapa de kappa com o coeficiente constante"
    "$placa" -n --plot kap --coefficient layers:100:3 2>erro.txt || falha "--plot com kappa: $(cat erro.txt)"
    python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' kap-coeficiente.svg || falha "mapa de kappa malformado"
    grep -q "kappa(x, y): nm = 4" kap-coeficiente.svg && grep -q "layers:100:3" kap-coeficiente.svg ||
        falha "mapa de kappa sem os parâmetros"
    grep -q "sem solução exata" kap-erro.svg || falha "erro sem solução exata: a figura não diz"
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
