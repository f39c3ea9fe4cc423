#!/bin/bash
# Campos para o numpy no executável de verdade: --save-field lido pelo numpy com os mesmos bits, um campo do numpy
# lido por tipo_ci = 2, a rodada continuada igual à inteira (gs e multigrid, passada rápida e laços simples) e cada
# arquivo errado recusado antes de qualquer saída.
set -u
placa=$(realpath "$1") exemplos=$(realpath "$2")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }
unset EDITOR VISUAL
cp "$exemplos/tervano3.ent" .
# um python com numpy (o do sistema quando o do PATH não o tem)
py=
for p in python3 /usr/bin/python3; do
    if "$p" -c 'import numpy' 2>/dev/null; then py=$p; break; fi
done
[ -n "$py" ] || { echo "FALHA: nenhum python3 com numpy (instale python3-numpy: bash .ci/dependencias)"; exit 1; }
rodar() { "$placa" -n --set tolt=0 "$@" tervano3.ent; }

# 1. continuar N iterações de um campo salvo dá a rodada de 2N: as normas (CSV, todos os dígitos), o q da
# listagem e o campo final com os mesmos bits; hist(0) da continuação é hist(N) da inteira
n=6
for metodo in "--set nm=1 --set nxg=9 --set nyg=17" "" "--cycle W --smoother gs-rb" "--coefficient jump:10" \
    "--smoother line-x --restriction full"; do
    # shellcheck disable=SC2086
    { rodar $metodo --set itmax=$((2 * n)) --set caso=inteira.lst --csv inteira.csv --save-field inteira.npy &&
        rodar $metodo --set itmax=$n --set caso=meio.lst --save-field meio.npy &&
        rodar $metodo --set itmax=$n --set caso=cont.lst --set tipo_ci=2 --restart meio.npy --csv cont.csv \
            --save-field cont.npy; } 2>>avisos.txt || { falha "rodadas de '$metodo'"; continue; }
    cmp -s inteira.npy cont.npy || falha "'$metodo': o campo continuado difere do da rodada inteira"
    diff <(tail -n $((n + 1)) inteira.csv | cut -d, -f2) <(tail -n $((n + 1)) cont.csv | cut -d, -f2) >/dev/null ||
        falha "'$metodo': as normas da continuação não são as da rodada inteira"
    q() { grep -aE '^ +[0-9]+   [0-9]' "$1" | awk 'NF == 4 {print $3}' | tail -n "$n"; }
    diff <(q inteira.lst) <(q cont.lst) >/dev/null || falha "'$metodo': o q da listagem difere"
    grep -aq '^ *2       = tipo_ci: ' cont.lst || falha "'$metodo': a listagem não ecoa tipo_ci = 2"
done

# 2. o numpy lê o campo com os mesmos bits; lido de volta, um campo escrito pelo numpy continua igual
rodar --set problema=1 --set tipo_ci=1 --set itmax=0 --set caso=exato.lst --save-field exato.npy 2>>avisos.txt ||
    falha "rodada do campo exato"
"$py" - <<'PY' || falha "numpy: o campo de --save-field"
import json, numpy as np
a = np.load('exato.npy')
d = json.load(open('exato.npy.json'))
ny, nx = d['shape']
assert a.dtype == np.dtype('<f8') and a.shape == (ny, nx) == (17, 17), (a.dtype, a.shape)
dx, dy = 1.0 / (nx - 1), 1.0 / (ny - 1)
x = np.array([i * dx for i in range(nx)])
for j in range(ny):
    y = j * dy
    # x*y no interior, os contornos do problema linear: oeste 0, leste y, sul 0, norte x
    esperado = [0.0 if i == 0 else y if i == nx - 1 else 0.0 if j == 0 else x[i] if j == ny - 1 else y * x[i]
                for i in range(nx)]
    assert a[j].tobytes() == np.array(esperado).tobytes(), (j, a[j], esperado)
import io
b = io.BytesIO(); np.save(b, a)
assert b.getvalue() == open('exato.npy', 'rb').read(), 'not the bytes np.save writes'
assert d['problem'] == 'linear' and d['niter'] == 0 and d['caso'] == 'exato.lst', d
# um campo conhecido, escrito pelo numpy, para o reinício
rng = np.random.default_rng(7)
c = np.load('exato.npy').copy()
c[1:-1, 1:-1] = rng.uniform(-1, 1, (ny - 2, nx - 2))
np.save('conhecido.npy', c)
json.dump(d, open('conhecido.npy.json', 'w'))
PY
rodar --set problema=1 --set tipo_ci=2 --set itmax=0 --set caso=volta.lst --restart conhecido.npy \
    --save-field volta.npy 2>>avisos.txt || falha "reinício de um campo do numpy"
cmp -s conhecido.npy volta.npy || falha "o campo do numpy não voltou com os mesmos bits"

# 3. com --csv-errors também o erro algébrico T - T_discreta, cujo máximo é o da última linha do CSV
rodar --set itmax=3 --set caso=erro.lst --csv erro.csv --csv-errors --save-field e.npy 2>>avisos.txt ||
    falha "--csv-errors"
"$py" - <<'PY' || falha "numpy: o campo do erro"
import numpy as np
e = np.load('e-erro.npy'); t = np.load('e.npy')
ultima = open('erro.csv', newline='').read().split('\r\n')[-2].split(',')
assert e.shape == t.shape and float(ultima[5]) == np.abs(e).max(), (ultima, np.abs(e).max())
assert (e[0] == 0).all() and (e[:, 0] == 0).all(), 'boundary error not zero'
PY

# 4. arquivos errados: recusados com o nome e o porquê, código 1, nenhuma saída escrita
"$py" - <<'PY'
import numpy as np, shutil
a = np.load('meio.npy')
np.save('forma.npy', a[:, :-1]); np.save('f4.npy', a.astype('<f4')); np.save('fortran.npy', np.asfortranarray(a))
open('curto.npy', 'wb').write(open('meio.npy', 'rb').read()[:-100]); open('texto.npy', 'w').write('1 2 3\n')
for n in ['forma', 'f4', 'fortran', 'curto', 'texto']:
    shutil.copy('meio.npy.json', n + '.npy.json')
shutil.copy('meio.npy', 'sem.npy')
PY
for caso in "falta.npy:No such file" "forma.npy:its shape (17, 16) is not this run's grid" \
    "f4.npy:'<f4', not float64" "fortran.npy:Fortran order" "curto.npy:truncated" "texto.npy:not a NumPy" \
    "sem.npy:sem.npy.json (written beside it by --save-field) cannot be read"; do
    arquivo=${caso%%:*} porque=${caso#*:}
    rm -f novo.*
    rodar --set itmax=2 --set caso=novo.lst --set tipo_ci=2 --restart "$arquivo" --csv novo.csv --save-field novo.npy \
        >/dev/null 2>erro.txt; rc=$?
    [ $rc -eq 1 ] || falha "$arquivo: código $rc"
    grep -qF "cannot restart (tipo_ci = 2) from $arquivo: " erro.txt && grep -qF "$porque" erro.txt ||
        falha "$arquivo: $(cat erro.txt)"
    ls novo.* >/dev/null 2>&1 && falha "$arquivo: uma saída foi escrita"
done
# o nome padrão é o da listagem com .npy; outro problema ou operador é recusado
cp meio.npy novo.npy && cp meio.npy.json novo.npy.json
rodar --set itmax=1 --set caso=novo.lst --set tipo_ci=2 >/dev/null 2>>avisos.txt || falha "reinício de novo.npy"
rodar --set itmax=1 --set caso=novo.lst --set tipo_ci=2 --eps 0.5 >/dev/null 2>erro.txt &&
    falha "--eps diferente aceito"
grep -qF "from novo.npy: it was solved with --eps 1, this run has --eps 0.5" erro.txt || falha "eps: $(cat erro.txt)"
# continuar no mesmo arquivo: lido antes, substituído só no fim, junto com a listagem
cp meio.npy mesmo.npy && cp meio.npy.json mesmo.npy.json
rodar --set itmax=1 --set caso=mesmo.lst --set tipo_ci=2 --save-field mesmo.npy 2>>avisos.txt &&
    ! cmp -s meio.npy mesmo.npy && grep -q '"niter": 1,' mesmo.npy.json || falha "continuar no mesmo arquivo"
# --fmg e --start random fazem o seu início: nada é lido, um aviso diz por quê; --restart sem tipo_ci = 2 avisa
rm -f novo.*
rodar --set itmax=1 --set caso=novo.lst --set tipo_ci=2 --fmg >/dev/null 2>erro.txt &&
    grep -q 'tipo_ci = 2 (restart) is not used: --fmg' erro.txt || falha "--fmg com tipo_ci = 2: $(cat erro.txt)"
rodar --set itmax=1 --set caso=novo.lst --restart falta.npy >/dev/null 2>erro.txt &&
    grep -q -- '--restart falta.npy is read only with tipo_ci = 2' erro.txt || falha "--restart com tipo_ci = 0"
# nomes ruins recusados antes da solução, sem listagem
rm -f novo.*
rodar --set caso=novo.lst --save-field nada/x.npy >/dev/null 2>erro.txt
[ $? -eq 1 ] && grep -q 'cannot open, --save-field, file nada/x.npy' erro.txt && [ ! -e novo.lst ] ||
    falha "--save-field numa pasta que não existe: $(cat erro.txt)"
rodar --set caso=novo.lst --save-field novo.lst >/dev/null 2>erro.txt
[ $? -eq 1 ] && grep -q 'are the same file' erro.txt && [ ! -e novo.lst ] || falha "--save-field na listagem: $(cat erro.txt)"
for args in "--save-field tervano3.ent" "--save-field=" "--restart=" "--csv-errors --save-field x.npy --lfa"; do
    # shellcheck disable=SC2086
    "$placa" -n $args tervano3.ent >/dev/null 2>erro.txt
    [ $? -eq 2 ] || falha "'$args' não foi recusado: $(cat erro.txt)"
done
# um estudo não salva campos; --lfa não resolve
"$placa" -n --sweep nitm=1,2 --summary r.csv --save-field x.npy tervano3.ent >/dev/null 2>erro.txt
[ $? -eq 2 ] && grep -q -- '--save-field does not apply to a study' erro.txt || falha "estudo com --save-field"

[ $falhas -eq 0 ] && echo "campo_npy: tudo certo"
exit $((falhas > 0))
