#!/bin/bash
# Os dados onde os pesquisadores trabalham: todo CSV e resumo lido com os padrões de pandas.read_csv, do módulo csv
# e do read.csv do R (quando há Rscript); o documento de --json validado contra doc/placa.schema.json, com os números
# exatos do CSV e as mesmas chaves das colunas; --commands pelo GNU parallel e pelo exemplo do Slurm dá as linhas do
# estudo; o exemplo de entrada do README é o de --template.
placa=$1 exemplos=$2 raiz=$3
py=
for p in python3 /usr/bin/python3; do
    if "$p" -c 'import pandas, jsonschema' 2>/dev/null; then py=$p; break; fi
done
[ -n "$py" ] || { echo "FALHA: no python3 with pandas and jsonschema (bash .ci/dependencias installs them)"; exit 1; }
command -v parallel >/dev/null || { echo "FALHA: GNU parallel missing (bash .ci/dependencias installs it)"; exit 1; }
d=$(mktemp -d) && trap 'rm -rf "$d"' EXIT && cd "$d" || exit 1
export HOME=$d LC_ALL=C.UTF-8
unset EDITOR VISUAL
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }
cp "$exemplos/tervano3.ent" .

# rodadas de vários métodos, com todas as saídas de tabela; uma numa malha só (colunas do ciclo vazias)
"$placa" -n --csv h1.csv --csv-errors --summary s.csv --json r1.json || falha "rodada 1"
"$placa" -n --cycle W --smoother line-alt --coarsest solve --csv h2.csv --summary s.csv --json r2.json || falha "rodada 2"
"$placa" -n --set nm=1 --set nxg=9 --set nyg=9 --set 'caso="uma, malha".lst' --csv h3.csv --summary s.csv \
    --json r3.json || falha "rodada 3"
"$placa" -n --problem constant:1 --coefficient jump:10 --coarse-operator galerkin --interpolation operator --csv h4.csv \
    --csv-errors --summary s.csv --json r4.json || falha "rodada 4"
"$placa" -n --json - --csv-errors >r5.json || falha "--json -"
# um estudo, e o mesmo estudo pelo GNU parallel e pelo exemplo do Slurm
varrer=(--sweep smoother=gs-lex,jacobi --sweep nm=2:3)
"$placa" -n "${varrer[@]}" --summary estudo.csv >/dev/null || falha "estudo"
"$placa" -n "${varrer[@]}" --summary paralelo.csv --commands >comandos.txt || falha "--commands"
[ "$(wc -l <comandos.txt)" -eq 4 ] || falha "--commands: $(cat comandos.txt)"
parallel --will-cite -j 2 <comandos.txt >/dev/null 2>parallel.err || falha "parallel: $(cat parallel.err)"
sed 's/--summary paralelo.csv/--summary slurm.csv/' comandos.txt >slurm.txt
for n in 1 2 3 4; do
    SLURM_ARRAY_TASK_ID=$n bash "$raiz/examples/lote-slurm.sh" slurm.txt >/dev/null || falha "lote-slurm.sh, linha $n"
done
SLURM_ARRAY_TASK_ID=5 bash "$raiz/examples/lote-slurm.sh" slurm.txt 2>/dev/null && falha "lote-slurm.sh sem a linha 5"

"$py" - "$raiz" <<'FIM' || falha "python"
import csv, glob, json, math, os, sys
import jsonschema, pandas
raiz = sys.argv[1]
erros = []
def confere(ok, msg):
    if not ok: erros.append(msg)

def linhas_csv(f):
    with open(f, newline='', encoding='utf-8') as h:
        return list(csv.reader(h))

# todo CSV: pandas e csv com os seus padrões, uma coluna por nome do cabeçalho, nenhuma linha de comentário
for f in sorted(glob.glob('*.csv')):
    df = pandas.read_csv(f)
    l = linhas_csv(f)
    confere(len(df) == len(l) - 1 and list(df.columns) == l[0], f + ': pandas e csv leem outra coisa')
    confere(all(len(x) == len(l[0]) for x in l), f + ': linhas de tamanhos diferentes')
    confere(not any(x and x[0].startswith('#') for x in l), f + ': linha de comentário')
opcoes = ['cycle', 'fmg', 'pre', 'post', 'coarsest', 'smoother', 'omega', 'restriction', 'start', 'eps',
          'coefficient', 'problem', 'coarse-operator', 'interpolation', 'coarsening', 'krylov', 'post-order']
s = pandas.read_csv('s.csv')
confere(len(s) == 4, 's.csv: %d linhas' % len(s))
confere(all(o in s.columns for o in opcoes), 's.csv: colunas das opções: %s' % list(s.columns))
for c in ['nxg', 'nyg', 'ae_an', 'versao', 'commit', 'compilador', 'maquina', 'processador', 'threads', 'instrucoes']:
    confere(c in s.columns, 's.csv: falta ' + c)
confere(s['nm'].dtype.kind == 'i' and s['L1' if False else 'niter'].dtype.kind == 'i', 's.csv: tipos')
confere(s.loc[2, 'caso'] == '"uma, malha".lst' or s.loc[2, 'caso'] == 'uma, malha.lst', 's.csv caso: %r' % s.loc[2, 'caso'])
confere(pandas.isna(s.loc[2, 'cycle']) and s.loc[1, 'coarsest'] == 'solve' and pandas.isna(s.loc[1, 'omega']),
        's.csv: colunas que não se aplicam')

esquema = json.load(open(os.path.join(raiz, 'doc', 'placa.schema.json')))
jsonschema.Draft202012Validator.check_schema(esquema)
validador = jsonschema.Draft202012Validator(esquema)
docs = {}
for n in range(1, 6):
    f = 'r%d.json' % n
    with open(f, encoding='utf-8') as h:
        texto = h.read()
    # nada fora do JSON estrito: NaN e Infinity seriam aceitos pelo json do Python, não pelos outros leitores
    def recusa(c): raise ValueError('constante não JSON: ' + c)
    doc = json.loads(texto, parse_constant=recusa)
    docs[n] = doc
    for e in validador.iter_errors(doc):
        erros.append('%s: %s em %s' % (f, e.message, '/'.join(map(str, e.path))))
for n in range(1, 5):
    doc, h = docs[n], linhas_csv('h%d.csv' % n)
    hist = doc['historico']
    confere(len(h) - 1 == doc['resultado']['niter'] + 1 == len(hist['iteracao']), 'r%d: iterações' % n)
    # os mesmos doubles no CSV e no JSON (a forma mais curta de cada um)
    for i, linha in enumerate(h[1:]):
        confere(float(linha[1]) == hist['L1(R)'][i], 'r%d: L1(R) da iteração %d' % (n, i))
        if i: confere(float(linha[3]) == hist['q'][i] and float(linha[4]) == hist['qmed'][i], 'r%d: q %d' % (n, i))
    # a mesma linha do resumo: cada coluna é a chave de mesmo nome, com o mesmo valor
    linha = linhas_csv('s.csv')
    cab, valores = linha[0], linha[n]
    planas = {}
    for secao in doc.values():
        if isinstance(secao, dict): planas.update(secao)
    for c, v in zip(cab, valores):
        if c == 'data_hora' or c.startswith(('cpu_s', 'relogio_s')): continue
        j = planas.get(c, 'falta')
        if v == '': confere(j is None, 'r%d: %s vazio no resumo, %r no JSON' % (n, c, j))
        elif isinstance(j, bool) or j is None or j == 'falta': erros.append('r%d: %s=%r no resumo, %r no JSON' % (n, c, v, j))
        elif isinstance(j, (int, float)): confere(float(v) == j, 'r%d: %s=%r no resumo, %r no JSON' % (n, c, v, j))
        else: confere(v.lstrip("'") == j or v == j, 'r%d: %s=%r no resumo, %r no JSON' % (n, c, v, j))
    confere(sorted(k for k in doc['metodo'] if k != 'classico') == sorted(opcoes), 'r%d: chaves do método' % n)
confere(docs[1]['metodo']['classico'] is True and docs[2]['metodo']['cycle'] == 'W', 'método efetivo')
confere(docs[2]['metodo']['coarsest'] == 'solve' and docs[2]['metodo']['omega'] is None, 'r2: coarsest, omega')
confere(docs[3]['metodo']['cycle'] is None and docs[3]['tempos']['nivel'] == [1], 'r3: malha só')
confere(docs[4]['metodo']['coarse-operator'] == 'galerkin' and docs[4]['metodo']['interpolation'] == 'operator' and
        docs[4]['metodo']['coarsening'] == 'full' and docs[3]['metodo']['coarsening'] is None, 'correção grossa')
confere(list(s.columns[-11:-7]) == ['coarse-operator', 'interpolation', 'coarsening', 'krylov'] and
        s.loc[3, 'coarse-operator'] == 'galerkin' and pandas.isna(s.loc[2, 'interpolation']),
        's.csv: colunas da correção grossa: %s' % list(s.columns[-11:-7]))
# depois a LFA de k níveis e as normas do resíduo final, com as mesmas chaves no JSON, e por fim post-order (vazio
# numa malha só)
confere(list(s.columns[-7:]) == ['rho_lfa_k2', 'rho_lfa_k3', 'rho_lfa_k4', 'l2_final', 'max_final', 'l2_krylov_final',
                                 'post-order']
        and all('rho_lfa_k4' in docs[n]['analise'] for n in docs) and s.loc[0, 'post-order'] == 'same'
        and pandas.isna(s.loc[2, 'post-order']), 's.csv: colunas do fim: %s' % list(s.columns[-7:]))
confere(docs[4]['erro']['erro_max'] is None and 'erro_algebrico_max' in docs[4]['historico'], 'r4: sem solução exata')
confere(docs[5]['historico'] == docs[1]['historico'], '--json - e --json FILE: históricos diferentes')
confere(docs[1]['memoria']['total'] >= docs[1]['memoria']['T'] > 0, 'memória')
confere(all(t >= 0 for t in docs[1]['tempos']['suavizacao_restricao_s']), 'tempos')

# o estudo pelo parallel e pelo Slurm: as mesmas linhas que o estudo, sem os tempos, a data e o estudo
def sem_tempos(f):
    l = linhas_csv(f)
    k = [i for i, c in enumerate(l[0]) if c not in ('data_hora', 'estudo') and not c.startswith(('cpu_s', 'relogio_s'))]
    return sorted(tuple(x[i] for i in k) for x in l[1:])
base = sem_tempos('estudo.csv')
confere(len(base) == 4, 'estudo: %d linhas' % len(base))
for f in ('paralelo.csv', 'slurm.csv'):
    confere(sem_tempos(f) == base, f + ': linhas diferentes das do estudo')
    confere(len(set(x['estudo'] for x in csv.DictReader(open(f, encoding='utf-8')))) == 1, f + ': um estudo só')
for e in erros: print('FALHA:', e)
sys.exit(1 if erros else 0)
FIM

# R, quando existe: read.csv com os seus padrões lê todo CSV
if command -v Rscript >/dev/null; then
    for f in *.csv; do
        Rscript -e "x <- read.csv('$f'); stopifnot(nrow(x) == $(($(wc -l <"$f") - 1)))" >/dev/null 2>&1 ||
            falha "read.csv do R: $f"
    done
else
    echo "R (Rscript) not installed: read.csv not tried"
fi

# --json escrito como as outras saídas: recusado junto com outra saída padrão ou no mesmo arquivo, nada escrito
# quando a rodada falha antes, e num estudo recusado
for args in "--json - --monitor" "--json - --csv -" "--json - --timing" "--json x.csv --csv x.csv" \
    "--json tervano3.ent" "--json x.json --lfa" "--sweep nm=2:3 --summary e.csv --json x.json" \
    "--study-table estudo.csv --json x.json"; do
    # shellcheck disable=SC2086
    "$placa" -n $args >/dev/null 2>erro.txt; rc=$?
    [ $rc -eq 2 ] && grep -q -- '--json\|INPUT file' erro.txt || falha "$args: código $rc: $(cat erro.txt)"
done
cp r1.json antigo.json
sed '2s/.*/0/' tervano3.ent >ruim.ent
"$placa" -n --json antigo.json ruim.ent 2>/dev/null && falha "entrada ruim aceita"
cmp -s r1.json antigo.json || falha "--json: a rodada que falhou mexeu no arquivo"
ln -s r1.json elo.json
"$placa" -n --json elo.json >/dev/null 2>&1 || falha "--json por um link"
[ -L elo.json ] && "$py" -m json.tool r1.json >/dev/null || falha "--json por um link: o link foi trocado"

# o exemplo de entrada do README é o que --template escreve
"$py" - "$raiz/README.md" <("$placa" --template) <<'FIM' || falha "README: o exemplo de entrada não é o de --template"
import sys
readme, modelo = open(sys.argv[1], encoding='utf-8').read(), open(sys.argv[2], encoding='utf-8').read()
sys.exit(0 if '```\n' + modelo + '```\n' in readme else 1)
FIM

[ $falhas -eq 0 ] && echo "dados para pesquisa: tudo certo"
[ $falhas -eq 0 ]
