#!/bin/bash
# A teoria ao lado da medida e o estudo paramétrico no executável de verdade: --lfa contra os valores publicados,
# fatores medidos contra a LFA, ordem observada, --set como a entrada editada, --sweep como as rodadas separadas,
# --commands pelo bash, valores inertes, linhas inteiras em paralelo, falhas (a interrupção, que corre sozinha, está
# em estudo_interrupcao.sh).
set -u
placa=$(realpath "$1") exemplos=$(realpath "$2")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }
unset EDITOR VISUAL
cp "$exemplos/tervano3.ent" "$exemplos/lfa.ent" .
# listagem sem as linhas 2 (cabeçalho), 4 (data) e a do tempo de CPU
corpo() { sed -e '2d;4d' -e '/ = tempo de CPU (segundos)/d' "$1"; }
# linhas do resumo sem os tempos (cpu_s*, relogio_s*), data_hora e estudo, ordenadas (lidas pelo módulo csv, com os seus padrões)
sem_tempos() {
    python3 -c 'import csv, sys
r = list(csv.reader(open(sys.argv[1], newline="", encoding="utf-8")))
k = [i for i, c in enumerate(r[0]) if c not in ("data_hora", "estudo") and not c.startswith(("cpu_s", "relogio_s"))]
print("\n".join(sorted(",".join(l[i] for i in k) for l in r[1:])))' "$1"
}
# a listagem de uma rodada de estudo: o nome dado e a assinatura dos valores
listagem() { ls "$1"-??????????.lst; }
coluna() { head -1 "$1" | tr -d '\r' | tr ',' '\n' | grep -nx "$2" | cut -d: -f1; }
temporarios() { ls -A | grep -q '^\.placa-'; }

# ---- --lfa: a tabela, sem resolver nem escrever; os valores publicados a 3 dígitos (GS-lex nu = 2, 3: o sup
# calculado, 0,1925 e 0,1184, fica a 6e-4 dos publicados 0,193 e 0,119)
touch erro.txt lex.txt rb.txt jac.txt && antes=$(ls -A | sort)
"$placa" -n --lfa --smoother gs-lex --restriction full lfa.ent >lex.txt 2>erro.txt || falha "--lfa: $(cat erro.txt)"
"$placa" -n --lfa --smoother gs-rb --restriction full lfa.ent >rb.txt || falha "--lfa gs-rb"
"$placa" -n --lfa --smoother jacobi --restriction full lfa.ent >jac.txt || falha "--lfa jacobi"
[ "$(ls -A | sort)" = "$antes" ] || falha "--lfa escreveu arquivos: $(ls -A)"
confere() { # arquivo nu1 nu2 coluna publicado tolerância
    awk -v a="$2" -v b="$3" -v c="$4" -v p="$5" -v t="$6" '$1 == a && $2 == b {
        v = $c + 0; d = v - p; if (d < 0) d = -d; achou = 1; if (d > t) exit 1 } END { if (!achou) exit 1 }' "$1" ||
        falha "--lfa $1 ($2,$3) coluna $4: $(grep -E "^ +$2 +$3 " "$1")"
}
arredonda=0.0005001
confere lex.txt 1 0 6 0.400 $arredonda; confere lex.txt 1 1 6 0.193 0.0006; confere lex.txt 2 1 6 0.119 0.0006
confere lex.txt 2 2 6 0.084 $arredonda
confere rb.txt 1 0 6 0.250 $arredonda; confere rb.txt 1 1 6 0.074 $arredonda; confere rb.txt 2 1 6 0.053 $arredonda
confere rb.txt 2 2 6 0.041 $arredonda
confere lex.txt 1 0 3 0.5 $arredonda; confere rb.txt 1 0 3 0.25 $arredonda; confere jac.txt 1 0 3 0.6 $arredonda
grep -q '^    1    1  .*<- esta rodada$' lex.txt || falha "--lfa: a linha da rodada (nitm = 1)"
# o custo cresce com log nu (potências por quadrados): 10^6 varreduras em segundos, não em horas
timeout 30 "$placa" -n --lfa --pre 1000000 --post 1000000 --smoother gs-rb --restriction full lfa.ent >muitas.txt ||
    falha "--lfa com --pre 1000000: código $?"
grep -q '^ 1000000 1000000  0.2500  1.0000  .*<- esta rodada$' muitas.txt || falha "--lfa 10^6: $(tail -3 muitas.txt)"
# e a rodada com --summary, que calcula a LFA depois da solução (antes: 22 minutos calada)
timeout 30 "$placa" -n --pre 1000000 --summary pre.csv tervano3.ent 2>erro.txt || falha "--pre 1000000 --summary: código $?"
grep -q '^hipóteses: dois níveis' lex.txt || falha "--lfa: sem as hipóteses"
# vermelho-preto com injeção: rho = 1 na tabela e o aviso de que o método não deve convergir, com o porquê
"$placa" -n --lfa --smoother gs-rb lfa.ent >rbi.txt 2>erro.txt || falha "--lfa gs-rb injeção"
grep -q "^placa: warning: the method is not expected to converge: .*injection passes down about twice" erro.txt ||
    falha "--lfa sem o aviso: $(cat erro.txt)"
"$placa" -n --lfa --set nm=1 lfa.ent >unica.txt || falha "--lfa nm = 1"
grep -q 'com nm = 1 não há correção grossa' unica.txt && awk '$1 ~ /^[1-4]$/ && $5 != "-" {exit 1}' unica.txt ||
    falha "--lfa nm = 1: rho deveria faltar: $(cat unica.txt)"

# ---- fatores de ciclos W com o nível 1 exato, 257 x 257, início aleatório: q_assintotico a 20% de rho_lfa
"$placa" --sweep smoother=gs-lex,gs-rb --sweep pre=1,2 --sweep post=1,2 --cycle W --coarsest solve \
    --restriction full --start random --summary w.csv lfa.ent >w.txt 2>erro.txt || falha "estudo W: $(cat erro.txt)"
[ "$(tail -n +2 w.csv | wc -l)" -eq 8 ] || falha "estudo W: linhas $(cat w.csv)"
q=$(coluna w.csv q_assintotico) rho=$(coluna w.csv rho_lfa)
awk -F, -v q="$q" -v r="$rho" 'NR > 1 { d = $q / $r - 1; if (d < 0) d = -d; if (!($r > 0) || d > 0.2) { print; exit 1 } }' w.csv ||
    falha "q_assintotico fora de 20% de rho_lfa"
# e os rho do resumo são os publicados, a 6e-4
awk -F, -v r="$rho" -v s="$(coluna w.csv smoother)" -v a="$(coluna w.csv pre)" -v b="$(coluna w.csv post)" '
    BEGIN { p["gs-lex",2] = 0.193; p["gs-lex",3] = 0.119; p["gs-lex",4] = 0.084
            p["gs-rb",2] = 0.074; p["gs-rb",3] = 0.053; p["gs-rb",4] = 0.041 }
    NR > 1 { d = $r - p[$s, $a + $b]; if (d < 0) d = -d; if (d > 0.0006) { print; exit 1 } }' w.csv ||
    falha "rho_lfa do resumo difere do publicado"

# ---- ordem observada 2,00 +- 0,02: senoidal, de 17 pontos (nm = 4 a partir de 3 x 3) a 257, tolt pequeno
"$placa" --set tolt=1e-13 --set itmax=40 --sweep nm=4:8 --summary ordem.csv tervano3.ent >ordem.txt ||
    falha "estudo da ordem"
awk '/^exemplo1-nm[5-8]-[0-9a-f]*\.lst/ { o = $NF; if (o < 1.98 || o > 2.02) { print; exit 1 }; n++ } END { if (n != 4) exit 1 }' \
    ordem.txt || falha "ordem observada: $(cat ordem.txt)"
ea=$(coluna ordem.csv erro_algebrico_max) ed=$(coluna ordem.csv erro_discretizacao_max)
awk -F, -v a="$ea" -v d="$ed" 'NR > 1 && !($a < 1e-3 * $d) { exit 1 }' ordem.csv || falha "erro algébrico não desprezível"

# ---- --set: a mesma listagem que a entrada editada à mão
sed '2s/^4 /5 /; 7s/^2 /3 /; 12s/.*/'"'"'Editada à mão'"'"'/' tervano3.ent > editada.ent
"$placa" -n editada.ent && mv exemplo1.lst editada.lst || falha "entrada editada"
"$placa" -n --set nm=5 --set nitm=3 --set 'titulo=Editada à mão' tervano3.ent 2>erro.txt || falha "--set: $(cat erro.txt)"
cmp -s <(corpo editada.lst) <(corpo exemplo1.lst) || falha "--set difere da entrada editada"
for args in "nm=x" "nm=40" "foo=1" "nm" "nxg=1" "tolt=0x1p-3" "itmax=5x"; do
    "$placa" -n --set "$args" >saida.txt 2>erro.txt; rc=$?
    [ $rc -eq 2 ] && grep -q "^placa: invalid --set '$args'" erro.txt || falha "--set '$args': $rc $(cat erro.txt)"
done
"$placa" -n --set nm=31 --set nxg=5000 2>erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q '^placa: --set nxg=5000: nm = 31, nxg(1) = 5000 .* above the 32-bit limit' erro.txt ||
    falha "--set de tamanho: $rc $(cat erro.txt)"
"$placa" -n --set tolt=2 2>erro.txt && grep -q '^placa: warning: --set tolt=2: tolt = 2 is not between 0 and 1' erro.txt ||
    falha "aviso do --set: $(cat erro.txt)"
# um número na linha de comando pela regra do arquivo: 1,0 lê 1 com o aviso da vírgula decimal, como no arquivo
"$placa" -n --set tolt=1,5e-8 2>erro.txt && grep -q "^placa: warning: --set tolt=1,5e-8: tolt = 1 is followed by ',5e-8' (a decimal comma?)" \
    erro.txt || falha "--set tolt=1,5e-8: $(cat erro.txt)"
"$placa" -n --lfa --set nm=2 --set nxg=9 --set nyg=7999993 lfa.ent >ae.txt || falha "--lfa grade esticada"
grep -q 'ae/an = 1.0000e-12$' ae.txt || falha "ae/an: $(head -1 ae.txt)"

# ---- o estudo dá, linha a linha, as rodadas separadas; --commands pelo bash dá as mesmas linhas
args=(--sweep nm=3,4 --sweep smoother=gs-lex,jacobi --fmg --set itmax=30)
"$placa" -j 2 "${args[@]}" --summary estudo.csv tervano3.ent >/dev/null 2>erro.txt || falha "estudo: $(cat erro.txt)"
mkdir sep cmd && cp tervano3.ent sep/ && cp tervano3.ent cmd/
for nm in 3 4; do for s in gs-lex jacobi; do
    n=$(listagem exemplo1-nm$nm-smoother$s)
    (cd sep && "$placa" -n --set itmax=30 --set nm=$nm --set caso="$n" --smoother $s --fmg \
        --summary sep.csv tervano3.ent) || falha "rodada separada $nm $s"
    cmp -s <(corpo "$n") <(corpo "sep/$n") || falha "listagem $nm $s"
done; done
cmp -s <(sem_tempos estudo.csv) <(sem_tempos sep/sep.csv) || falha "estudo difere das rodadas separadas: $(diff <(sem_tempos estudo.csv) <(sem_tempos sep/sep.csv))"
(cd cmd && "$placa" "${args[@]}" --summary c.csv --commands tervano3.ent >comandos.sh) || falha "--commands"
[ "$(wc -l <cmd/comandos.sh)" -eq 4 ] && ! [ -e cmd/c.csv ] || falha "--commands: $(cat cmd/comandos.sh)"
(cd /tmp && bash "$dir/cmd/comandos.sh") || falha "os comandos no bash"
cmp -s <(sem_tempos estudo.csv) <(sem_tempos cmd/c.csv) || falha "--commands difere do estudo"
"$placa" --study-table cmd/c.csv >tabela.txt && grep -q '^estudo: 4 rodadas' tabela.txt || falha "--study-table"

# ---- valores com aspas, crases e $ ficam inertes (--sweep, --set e --commands)
t1="x'\"\`touch pego1\`\$(touch pego2)" t2='$HOME;touch pego3'
"$placa" --sweep "titulo=$t1,$t2" --set "freq=7" --summary inerte.csv tervano3.ent >/dev/null || falha "titulo inerte"
"$placa" --sweep "titulo=$t1,$t2" --summary inerte2.csv --commands tervano3.ent | bash || falha "titulo inerte (bash)"
ls pego* 2>/dev/null && falha "um valor foi executado"
# os dois estudos (um com freq = 7) dão duas listagens de cada título, com nomes diferentes
[ "$(listagem exemplo1-titulo1 | wc -l)" -eq 2 ] || falha "listagens do título 1: $(listagem exemplo1-titulo1)"
for f in $(listagem exemplo1-titulo1); do grep -qaF "título = $t1" <(iconv -f latin1 -t utf8 "$f") || falha "titulo 1 em $f"; done
for f in $(listagem exemplo1-titulo2); do grep -qaF "título = $t2" <(iconv -f latin1 -t utf8 "$f") || falha "titulo 2 em $f"; done

# ---- em paralelo, as linhas nunca se misturam: dois estudos ao mesmo tempo no mesmo resumo
"$placa" -j 4 --sweep nitm=1:4 --sweep smoother=gs-lex,gs-rb --restriction full --summary par.csv tervano3.ent >/dev/null &
"$placa" -j 4 --sweep nitm=1:4 --sweep cycle=W,F --set caso=outro.lst --summary par.csv tervano3.ent >/dev/null
wait $! || falha "estudo paralelo"
python3 - par.csv <<'FIM' || falha "linhas misturadas: $(cat par.csv)"
import csv, sys
linhas = list(csv.reader(open(sys.argv[1], newline='')))
assert linhas[0][0] == 'caso' and sum(l[0] == 'caso' for l in linhas) == 1
assert len(linhas) == 17 and all(len(l) == len(linhas[0]) for l in linhas)
assert len({l[0] for l in linhas[1:]}) == 16
FIM

# ---- uma rodada que falha: as outras terminam, a tabela sai, código 1 com a mensagem da rodada
n=$("$placa" --sweep nitm=1:3 --summary falha.csv --commands tervano3.ent | grep -o 'caso=exemplo1-nitm2-[^ ]*' | cut -d= -f2)
mkdir "$n"
"$placa" --sweep nitm=1:3 --summary falha.csv tervano3.ent >falha.txt 2>erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q "^placa: study run $n failed: cannot open, unit 10" erro.txt ||
    falha "rodada com falha: $rc $(cat erro.txt)"
[ "$(tail -n +2 falha.csv | wc -l)" -eq 2 ] && grep -q '^estudo: 2 rodadas' falha.txt || falha "as outras rodadas"
"$placa" --sweep nm=0,2 --summary x.csv tervano3.ent 2>erro.txt; [ $? -eq 2 ] || falha "--sweep nm=0"
"$placa" --sweep nm=30,31 --set nxg=5000 --summary x.csv tervano3.ent 2>erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q 'cannot start: .*nothing was run' erro.txt && ! [ -e x.csv ] || falha "rodada impossível: $rc $(cat erro.txt)"
for a in "--sweep nm=3" "--sweep nm=3,3 --summary x.csv" "--sweep smoother=sor --summary x.csv" \
    "--sweep nm=3 --smoother gs-rb --sweep smoother=gs-lex --summary x.csv" "--commands" "--sweep nm=3 --csv h.csv --summary x.csv"; do
    # shellcheck disable=SC2086
    "$placa" $a tervano3.ent >/dev/null 2>erro.txt; [ $? -eq 2 ] || falha "'$a' aceito"
done

# ---- gráficos de um estudo com séries degeneradas (erro de discretização 0 em toda grade do problema linear): a
# série fica de fora com uma linha que diz por quê, e a figura sem série nenhuma não é desenhada
if command -v gnuplot >/dev/null; then
    mkdir deg && cp tervano3.ent deg/ && cd deg || exit 1
    "$placa" --set problema=1 --sweep nm=3:5 --summary d.csv --plot p tervano3.ent >/dev/null 2>erro.txt; rc=$?
    [ $rc -eq 0 ] || falha "séries degeneradas: código $rc: $(cat erro.txt)"
    grep -q "^placa: note: --plot p-erro-h.svg leaves out the curve 'erro de discretização': all its values are 0" erro.txt &&
        grep -q "^placa: note: --plot p-erro-h.svg is not drawn" erro.txt || falha "sem a nota: $(cat erro.txt)"
    [ -s p-fator.svg ] && [ -s p-tempo.svg ] && ! [ -e p-erro-h.svg ] || falha "figuras: $(ls)"
    cd ..
fi

# ---- por rodada: monitor, --csv-errors e --timing
"$placa" -n -m --csv h.csv --csv-errors --timing lfa.ent >m.txt 2>erro.txt || falha "monitor: $(cat erro.txt)"
grep -q '^LFA (dois níveis, grade infinita): mu = 0.5000, mu_nu = 0.5000, rho = 0.2000 (nu1 = 1, nu2 = 1' m.txt &&
    grep -q '^fator medido: q assintótico = 0\.[0-9]* (R² = 0\.9' m.txt && grep -q '^trabalho: ' m.txt &&
    grep -q '^erro final: algébrico' m.txt || falha "monitor: $(cat m.txt)"
grep -q '^  soma ' m.txt && grep -q '^      8  257 x 257 ' m.txt && grep -q '^\* fases fundidas' m.txt || falha "--timing"
head -1 h.csv | grep -q '^iteracao,L1(R),L1(R)i/L1(R)o,q,qmed,erro_algebrico_max,erro_algebrico_medio,cycle,' &&
    awk -F, 'NF != 27 {exit 1}' h.csv || falha "--csv-errors: $(head -4 h.csv)"
awk -F, 'NR == 2 {a = $6} END {if (!($6 < 1e-6 * a)) exit 1}' h.csv || falha "--csv-errors: o erro não cai"
"$placa" -n --csv-errors 2>erro.txt; [ $? -eq 2 ] || falha "--csv-errors sem --csv"

[ $falhas -eq 0 ] && echo "estudo: tudo certo"
exit $((falhas > 0))
