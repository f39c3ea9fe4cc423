#!/bin/bash
# examples/analise.py como um pesquisador o roda: um estudo, uma rodada com --json (e o campo em .npy quando o
# programa tem --save-field), a figura desenhada pelo matplotlib sem tela.
placa=$1 raiz=$2
py=
for p in python3 /usr/bin/python3; do
    if "$p" -c 'import pandas, numpy, matplotlib' 2>/dev/null; then py=$p; break; fi
done
[ -n "$py" ] || { echo "FALHA: no python3 with pandas, numpy and matplotlib (bash .ci/dependencias installs them)"; exit 1; }
d=$(mktemp -d) && trap 'rm -rf "$d"' EXIT && cd "$d" || exit 1
export HOME=$d MPLCONFIGDIR=$d/mpl
unset EDITOR VISUAL DISPLAY
cp "$raiz/examples/tervano3.ent" .
"$placa" -n --sweep smoother=gs-lex,jacobi --sweep nm=3:4 --summary estudo.csv >/dev/null || { echo "FALHA: estudo"; exit 1; }
campo=()
if "$placa" --help | grep -q -- '--save-field'; then
    "$placa" -n --json rodada.json --save-field campo.npy || { echo "FALHA: rodada"; exit 1; }
    campo=(campo.npy)
else
    echo "placa has no --save-field yet: the field panel is not drawn"
    "$placa" -n --json rodada.json || { echo "FALHA: rodada"; exit 1; }
fi
"$py" "$raiz/examples/analise.py" estudo.csv rodada.json "${campo[@]}" -o analise.png || { echo "FALHA: analise.py"; exit 1; }
# um PNG de verdade, com o tamanho da figura
"$py" - <<'FIM' || { echo "FALHA: a figura"; exit 1; }
import sys
import matplotlib.image as im
a = im.imread('analise.png')
sys.exit(0 if a.shape[0] >= 300 and a.shape[1] >= 800 and a.std() > 0.01 else 1)
FIM
echo "exemplo de análise: tudo certo"
