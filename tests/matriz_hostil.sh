#!/bin/bash
# Matriz do usuário hostil: entradas e nomes vindos de outra pessoa não rodam nada, não destroem nada e não
# deixam o programa pendurado; saídas nunca passam por link alheio, nunca sobre a entrada nem umas sobre as outras.
set -u
placa=$(realpath "$1") sanitizado=${2:-0}
source "$(dirname "$0")/matriz_comum.sh"

# ---- nada da entrada ou das opções roda como código
novo "nome da listagem com cara de opção do editor"
entrada 1 "'+!touch PWNED'" > tervano3.ent
printf '#!/bin/sh\nfor a; do printf "%%s\\n" "$a"; done >> args.txt\n' > ../ed.sh && chmod +x ../ed.sh
EDITOR="$(realpath ../ed.sh)" "$placa" </dev/null >/dev/null 2>&1 || falha "rodada"
[ "$(cat args.txt)" = "$(printf './tervano3.ent\n./+!touch PWNED')" ] || falha "editor recebeu: $(cat args.txt)"
if command -v vi >/dev/null; then
    rm -f args.txt; EDITOR='vi -e -s' "$placa" </dev/null >/dev/null 2>&1
    [ -e PWNED ] && falha "vi rodou o comando do nome"
fi
cp tervano3.ent ./-x.ent && rm -f args.txt
EDITOR="$(realpath ../ed.sh)" "$placa" -- -x.ent </dev/null >/dev/null 2>&1
head -1 args.txt | grep -qx './-x.ent' || falha "entrada passada ao editor como: $(head -1 args.txt)"

if command -v gnuplot >/dev/null; then
    novo "crases no caso chegam ao gnuplot"
    entrada 1 "'x\`touch GP_PWNED\`.lst'" > tervano3.ent
    "$placa" -n --plot fig </dev/null >/dev/null 2>../erro.txt || falha "rodada: $(cat ../erro.txt)"
    gnuplot fig.gp 2>/dev/null
    [ -e GP_PWNED ] && falha "o gnuplot rodou a crase do caso"
    [ -s fig-campo.svg ] || falha "sem figura"
    novo "prefixo de --plot com cara de opção ou de bloco de dados"
    for pre in -persist '$dados' "'quote"; do
        "$placa" -n --plot "$pre" </dev/null >/dev/null 2>../erro.txt || falha "$pre: $(cat ../erro.txt)"
        [ -s "./$pre-convergencia.svg" ] || falha "$pre: sem figura"
    done
fi
novo "fim de linha no prefixo de --plot"
"$placa" -n --plot $'x\nsystem("touch PWNED")' </dev/null >/dev/null 2>../erro.txt; rc=$?
[ $rc -eq 2 ] && grep -q 'holds a control character' ../erro.txt || falha "código $rc: $(cat ../erro.txt)"

novo "escapes de terminal nas mensagens"
entrada 1 $'\'\033]0;titulo\007nao/x.lst\'' > tervano3.ent
"$placa" -n </dev/null 2>../erro.txt
grep -q $'\033' ../erro.txt && falha "ESC cru na mensagem"
grep -qF 'file \033]0;titulo\007nao/x.lst' ../erro.txt || falha "mensagem: $(cat ../erro.txt)"

# ---- saídas: nunca por link alheio, nunca sobre arquivo especial, nunca umas sobre as outras
novo "dispositivo, FIFO e saída padrão como listagem"
# um dispositivo nulo próprio (um programa com defeito que o trocasse por arquivo não estragaria o /dev/null)
if mknod nulo c 1 3 2>/dev/null; then
    entrada 1 nulo > tervano3.ent; certo_sem_listagem
    [ -c nulo ] || falha "o dispositivo virou arquivo"
else
    echo "dispositivo como listagem não testado: mknod exige root"
fi
entrada 1 "'/dev/stdout'" > tervano3.ent
"$placa" -n </dev/null >../saida.txt 2>../erro.txt || falha "/dev/stdout: $(cat ../erro.txt)"
tail -c 40 ../saida.txt | grep -q $' = tempo de CPU (segundos)\r$' || falha "/dev/stdout: listagem não saiu"
mkfifo cano; entrada 1 cano > tervano3.ent
timeout 10 "$placa" -n </dev/null 2>../erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q 'file cano: no process is reading the FIFO' ../erro.txt || falha "FIFO sem leitor: $rc"
cat cano > ../lida.txt & leitor=$!
timeout 10 "$placa" -n </dev/null 2>../erro.txt || falha "FIFO com leitor: $(cat ../erro.txt)"
wait $leitor; [ -p cano ] || falha "o FIFO virou arquivo"
tail -c 40 ../lida.txt | grep -q $' = tempo de CPU (segundos)\r$' || falha "FIFO: listagem não chegou"

novo "link alheio num diretório compartilhado"
if [ "$(id -u)" -eq 0 ] && setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; then
    chmod 755 "$raiz" "$d"; mkdir -m 1777 comum
    printf 'segredo\n' > ../segredo.txt; chmod 600 ../segredo.txt
    setpriv --reuid=65534 --regid=65534 --clear-groups ln -s "$(realpath ../segredo.txt)" comum/saida.lst
    entrada 1 "'comum/saida.lst'" > tervano3.ent
    erro "refusing to follow the symbolic link comum/saida.lst: it belongs to another user (uid 65534"
    [ "$(cat ../segredo.txt)" = segredo ] || falha "o arquivo protegido mudou"
    ln -s "$d/meu.lst" comum/meu.lst; entrada 1 "'comum/meu.lst'" > tervano3.ent
    LISTAGEM=meu.lst certo
    [ -L comum/meu.lst ] || falha "o link do próprio usuário deixou de ser link"
else
    echo "link alheio num diretório compartilhado não testado: exige root e setpriv"
fi

novo "link de outro usuário em qualquer pasta: a dele (755), a de um grupo (2775); listagem, --csv, --summary, --plot, --save-field"
if outros_usuarios; then
    chmod 755 "$raiz" "$d"
    printf 'segredo\n' > ../segredo.txt; chmod 600 ../segredo.txt
    alvo=$(realpath ../segredo.txt)
    mkdir dele grupo && chown 65534:65534 dele && chmod 755 dele && chgrp 65534 grupo && chmod 2775 grupo
    para() { setpriv --reuid="$1" --regid="$1" --groups=65534 ln -s "$alvo" "$2"; } # o link é de quem o planta
    para 65534 dele/saida.lst; para 65533 grupo/saida.lst
    for p in dele/saida.lst grupo/saida.lst; do
        entrada 1 "'$p'" > tervano3.ent
        erro "refusing to follow the symbolic link $p: it belongs to another user (uid 6553"
    done
    entrada > tervano3.ent
    para 65534 dele/h.csv; para 65534 dele/r.csv; para 65533 grupo/f-convergencia.svg
    erro "refusing to follow the symbolic link dele/h.csv: it belongs to another user (uid 65534" --csv dele/h.csv
    erro "refusing to follow the symbolic link dele/r.csv" --summary dele/r.csv
    erro "refusing to follow the symbolic link grupo/f-convergencia.svg" --plot grupo/f
    # o campo e a descrição ao lado dele
    para 65534 dele/c.npy; para 65533 grupo/d.npy.json
    erro "refusing to follow the symbolic link dele/c.npy" --save-field dele/c.npy
    erro "refusing to follow the symbolic link grupo/d.npy.json" --save-field grupo/d.npy
    # as listagens de um estudo: os nomes que ele daria, cada um com um link plantado
    entrada 1 "'dele/e.lst'" > tervano3.ent
    for n in $("$placa" --sweep nitm=1,2 --summary r.csv --commands | grep -o 'caso=dele/[^ ]*' | cut -d= -f2); do
        para 65534 "$n"
    done
    "$placa" --sweep nitm=1,2 --summary r.csv </dev/null >/dev/null 2>../erro.txt; rc=$?
    [ $rc -eq 1 ] && [ "$(grep -c 'failed: cannot open, unit 10, .*: refusing to follow the symbolic link dele/e' ../erro.txt)" -eq 2 ] ||
        falha "estudo: código $rc: $(cat ../erro.txt)"
    [ "$(cat ../segredo.txt)" = segredo ] || falha "o arquivo do root mudou"
    # o colega: quem roda é o 1001, a pasta e o link são do 1002, o link aponta para a tese do 1001
    mkdir casa colega && chown 1001:1001 casa && chown 1002:1002 colega && chmod 755 casa colega
    setpriv --reuid=1001 --regid=1001 --clear-groups sh -c 'printf "tese\n" > casa/tese.txt'
    setpriv --reuid=1002 --regid=1002 --clear-groups ln -s "$d/casa/tese.txt" colega/saida.lst
    entrada 1 "'../colega/saida.lst'" | sed "12s/.*/'titulo escolhido pelo colega'/" > casa/e.ent
    (cd casa && setpriv --reuid=1001 --regid=1001 --clear-groups "$(placa_do_outro)" -n e.ent) </dev/null 2>../erro.txt
    rc=$?
    [ $rc -eq 1 ] && grep -q 'refusing to follow the symbolic link ../colega/saida.lst: it belongs to another user (uid 1002' \
        ../erro.txt || falha "colega: código $rc: $(cat ../erro.txt)"
    [ "$(cat casa/tese.txt)" = tese ] || falha "a tese foi trocada: $(head -3 casa/tese.txt)"
    # o link do próprio usuário, e o do root, são seguidos
    setpriv --reuid=1001 --regid=1001 --clear-groups ln -s tese2.lst casa/meu.lst
    entrada 1 meu.lst > casa/e.ent
    (cd casa && setpriv --reuid=1001 --regid=1001 --clear-groups "$(placa_do_outro)" -n e.ent) </dev/null 2>../erro.txt ||
        falha "link próprio: $(cat ../erro.txt)"
    [ -L casa/meu.lst ] && [ -s casa/tese2.lst ] || falha "link próprio não seguido"
else
    echo "links de outros usuários não testados: exige root e setpriv"
fi

novo "bits setuid, setgid e sticky da listagem antiga"
chmod 7755 saida.lst; certo
[ "$(stat -c %a saida.lst)" = 755 ] || falha "modo $(stat -c %a saida.lst)"

novo "saídas sobre a entrada ou umas sobre as outras"
entrada 1 tervano3.ent > tervano3.ent; erro "the listing tervano3.ent is the input file tervano3.ent"
entrada > tervano3.ent; ln tervano3.ent dura.ent; ln -s saida.lst outro.lst
for caso_opcoes in "is the input file tervano3.ent|--csv ./tervano3.ent" \
    "is the input file tervano3.ent|--summary dura.ent" \
    "the listing saida.lst and the --csv file ./saida.lst are the same file|--csv ./saida.lst" \
    "the listing saida.lst and the --summary file saida.lst are the same file|--summary saida.lst" \
    "the listing saida.lst and the --csv file outro.lst are the same file|--csv outro.lst"; do
    # shellcheck disable=SC2086
    erro "${caso_opcoes%%|*}" ${caso_opcoes#*|}
    entrada > tervano3.ent; printf 'antiga\r\n' > saida.lst
done

novo "destinos conferidos antes de uma solução longa"
# a solução levaria minutos: um prazo curto a corta se o destino só for conferido no fim
printf '#!/bin/sh\nexec timeout 20 "%s" "$@"\n' "$placa" > ../com_prazo.sh && chmod +x ../com_prazo.sh
placa_real=$placa placa=$(realpath ../com_prazo.sh)
n=3000; [ "$sanitizado" = 1 ] && n=1500
entrada | sed "2s/.*/1/;3s/.*/$n/;4s/.*/$n/;5s/.*/1e-300/;6s/.*/100000/" > tervano3.ent
for opcao in "--csv nada/x.csv" "--summary nada/s.csv" "--plot nada/x" "--save-field nada/x.npy"; do
    # shellcheck disable=SC2086
    SECONDS=0; erro "nada/" $opcao; [ $SECONDS -le 3 ] || falha "$opcao: falhou só depois de $SECONDS s"
done
entrada | sed "1s/.*/'nada\/x.lst'/;2s/.*/1/;3s/.*/$n/;4s/.*/$n/;5s/.*/1e-300/;6s/.*/100000/" > tervano3.ent
SECONDS=0; erro "cannot open, unit 10, file nada/x.lst"; [ $SECONDS -le 3 ] || falha "caso: só depois de $SECONDS s"
placa=$placa_real

# ---- resumo: linha inteira ou nenhuma, um só cabeçalho
novo "resumo cortado por limite de tamanho"
{ printf 'caso,nm,nx,ny,nitm,tolt,\r\n'; head -c 65450 /dev/zero | tr '\0' 'r'; printf '\r\n'; } > resumo.csv
com_limite "-f 64" erro "write error, --summary, file resumo.csv: File too large" --summary resumo.csv
novo "resumo com rodadas simultâneas"
for k in 1 2 3 4 5 6 7 8; do sed "1s/.*/s$k.lst/" tervano3.ent > s$k.ent; done
for k in 1 2 3 4 5 6 7 8; do "$placa" -n --summary resumo.csv s$k.ent </dev/null >/dev/null 2>&1 & done; wait
[ "$(grep -c '^caso,' resumo.csv)" -eq 1 ] && [ "$(wc -l <resumo.csv)" -eq 9 ] || falha "resumo: $(cat resumo.csv)"
novo "rodadas simultâneas com o mesmo caso e --csv: listagem e CSV sempre da mesma rodada"
# cada rodada com seu itmax (tolt -1: niter = itmax): o CSV tem niter + 2 linhas; 30 rodadas de 12 ao mesmo tempo
misturas=0 voltas=30; [ "$sanitizado" = 1 ] && voltas=10
for volta in $(seq $voltas); do
    for k in $(seq 12); do "$placa" -n --set nm=1 --set tolt=-1 --set itmax=$k --csv h.csv </dev/null >/dev/null 2>&1 & done; wait
    it=$(LC_ALL=C sed -n 's/^ *\([0-9]*\)       = itmax.*/\1/p' saida.lst)
    [ "$(wc -l <h.csv)" -eq $((it + 2)) ] || misturas=$((misturas + 1))
done
[ $misturas -eq 0 ] || falha "em $misturas de $voltas voltas a listagem e o CSV vieram de rodadas diferentes"
ls -A | grep -q '^\.placa-' && falha "temporário esquecido"
novo "resumo que é o arquivo de outra pessoa: nenhuma linha, antes de resolver; o estudo e a tabela também recusam"
printf 'aluno,nota\r\nAna,9\r\n' > notas.csv
erro "cannot open, --summary, file notas.csv: it is not a placa summary" --summary notas.csv
erro "cannot open, --summary, file notas.csv: it is not a placa summary" --sweep nitm=1,2 --summary notas.csv
erro "notas.csv is not a placa summary" --study-table notas.csv
certo --summary vazio.csv; certo --summary vazio.csv
[ "$(grep -c '^caso,nm,nx,ny,nitm,tolt,' vazio.csv)" -eq 1 ] && [ "$(wc -l <vazio.csv)" -eq 3 ] || falha "resumo novo"
novo "resumo num FIFO"; mkfifo cano
SECONDS=0; timeout 10 "$placa" -n --summary cano </dev/null 2>../erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q 'file cano: not a regular file' ../erro.txt || falha "código $rc: $(cat ../erro.txt)"
novo "entrada num FIFO, lida como fluxo"; mv tervano3.ent e.txt; mkfifo tervano3.ent
cat e.txt > tervano3.ent & certo; wait

# ---- estudos: linhas de comando, resumos e listagens compartilhados, a entrada lida uma vez
novo "--commands com um fim de linha no nome da entrada ou da pasta: cada comando numa linha, ou nenhum"
nome=$'x\ntouch INJECTED #.ent'
cp tervano3.ent "$nome"
"$placa" --sweep nitm=1,2 --summary s.csv --commands "$nome" 2>../erro.txt | while IFS= read -r l; do sh -c "$l"; done
[ -e INJECTED ] && falha "a segunda metade de um comando rodou"
grep -qF "placa: --commands prints one shell command per line, and the input file name 'x\\012touch" ../erro.txt ||
    falha "mensagem: $(cat ../erro.txt)"
mkdir $'p\ntouch INJECTED #' && cp tervano3.ent $'p\ntouch INJECTED #/'
(cd $'p\ntouch INJECTED #' && "$placa" --sweep nitm=1,2 --summary s.csv --commands 2>../../erro.txt) |
    while IFS= read -r l; do sh -c "$l"; done
[ -e INJECTED ] && falha "a pasta partiu o comando"
grep -q "the current folder '.*' holds a control character" ../erro.txt || falha "pasta: $(cat ../erro.txt)"

novo "dois estudos ao mesmo tempo no mesmo resumo: cada tabela só com as suas rodadas, listagens que não se trocam"
entrada | sed '2s/.*/4/' > tervano3.ent
"$placa" -j 1 --sweep nitm=1:4 --summary r.csv </dev/null >../a.txt 2>&1 & p1=$!
"$placa" -j 1 --sweep nitm=1:4 --smoother gs-rb --restriction full --summary r.csv </dev/null >../b.txt 2>&1 || falha "b"
wait $p1 || falha "a: $(cat ../a.txt)"
[ "$(grep -c '^saida-nitm' ../a.txt)" -eq 4 ] && [ "$(grep -c '^saida-nitm' ../b.txt)" -eq 4 ] ||
    falha "tabelas: $(cat ../a.txt ../b.txt)"
[ "$(ls saida-nitm*.lst | wc -l)" -eq 8 ] || falha "listagens trocadas: $(ls saida-nitm*.lst)"
e=$(head -1 r.csv | tr -d '\r' | tr ',' '\n' | grep -nx estudo | cut -d: -f1)
[ "$(tail -n +2 r.csv | awk -F, -v e="$e" '{print $e}' | sort -u | wc -l)" -eq 2 ] || falha "identificadores: $(cat r.csv)"
for f in $(grep -o '^saida-nitm[^ ]*' ../b.txt); do grep -qa '^gs-rb ' "$f" || falha "a tabela de b mostra $f"; done

novo "caso de 50 caracteres: nomes únicos por rodada, de um estudo a outro"
entrada 1 "'$(printf 'c%.0s' $(seq 50))'" > tervano3.ent
"$placa" --sweep nitm=1,2 --summary r.csv </dev/null >/dev/null 2>&1 || falha "estudo 1"
"$placa" --sweep itmax=5,6 --summary r.csv </dev/null >/dev/null 2>&1 || falha "estudo 2"
[ "$(ls c*.lst | wc -l)" -eq 4 ] || falha "listagens substituídas: $(ls c*.lst)"
[ "$(tail -n +2 r.csv | cut -d, -f1 | sort -u | wc -l)" -eq 4 ] || falha "duas rodadas com um nome: $(cut -d, -f1 r.csv)"

novo "entrada editada no meio do estudo: toda rodada roda os valores lidos no começo"
entrada | sed '2s/.*/1/;3s/.*/120/;4s/.*/120/;5s/.*/1e-300/;6s/.*/1500/;8s/.*/2/' > tervano3.ent
"$placa" -j 1 --sweep nitm=1:3 --summary r.csv </dev/null >/dev/null 2>../erro.txt & pid=$!
for _ in $(seq 200); do ls saida-nitm1*.lst >/dev/null 2>&1 && break; sleep 0.05; done
sed -i '8s/.*/1/' tervano3.ent
wait $pid || falha "estudo: $(cat ../erro.txt)"
[ "$(tail -n +2 r.csv | cut -d, -f7 | sort -u)" = 2 ] || falha "problema lido de novo: $(cut -d, -f1,7 r.csv)"
grep -qa '^          2       = problema' saida-nitm3-*.lst || falha "a última listagem"

novo "fórmulas de planilha no caso: o resumo as guarda como texto e --study-table as lê de volta"
for c in '=HYPERLINK("x","y")' '@SUM(1)' '+1+2' '-2+3'; do
    entrada 1 "'$c'" | sed '5s/.*/-1/;6s/.*/2/' > tervano3.ent
    "$placa" -n --summary f.csv </dev/null >/dev/null 2>../erro.txt || falha "$c: $(cat ../erro.txt)"
    rm -f -- "$c"
done
python3 - f.csv <<'FIM' || falha "células: $(cat f.csv)"
import csv, sys
l = list(csv.reader(open(sys.argv[1], newline='')))
assert [r[0] for r in l[1:]] == ["'=HYPERLINK(\"x\",\"y\")", "'@SUM(1)", "'+1+2", "'-2+3"], l
assert all(r[5] == '-1' for r in l[1:]), [r[5] for r in l]  # os números nunca mudam (tolt = -1)
FIM
"$placa" --study-table f.csv >../tabela.txt 2>../erro.txt || falha "--study-table: $(cat ../erro.txt)"
grep -qF '=HYPERLINK("x","y")' ../tabela.txt && ! grep -q "^'" ../tabela.txt || falha "tabela: $(cat ../tabela.txt)"

novo "marcas bidirecionais e escapes num resumo de outra pessoa: a tabela do estudo os mostra escapados"
"$placa" -n --summary b.csv </dev/null >/dev/null 2>&1
sed -i "2s/^saida.lst,/a"$'\u202e'"b"$'\033'"c.lst,/" b.csv
LC_ALL=C.UTF-8 "$placa" --study-table b.csv >../tabela.txt 2>&1 || falha "--study-table: $(cat ../tabela.txt)"
grep -q $'\u202e\|\033' ../tabela.txt && falha "marca bidirecional ou ESC crus na tabela"
grep -qF 'a\342\200\256b\033c.lst' ../tabela.txt || falha "tabela: $(head -3 ../tabela.txt)"
LC_ALL=C.UTF-8 "$placa" -n --set 'titulo=Condução € x' </dev/null >/dev/null 2>../erro.txt
grep -q "titulo=Condução € x: titulo has 1 character" ../erro.txt || falha "o aviso escapou UTF-8 válido: $(cat ../erro.txt)"

novo "resumos defeituosos: cada linha conferida, com o número da linha"
"$placa" -n --summary r.csv </dev/null >/dev/null 2>&1 && cp r.csv bom.csv
certa=$(tail -1 bom.csv | tr -d '\r')
troca() { echo "$certa" | awk -F, -v OFS=, -v c="$1" -v v="$2" '{ $c = v; print }'; }
for caso_linha in "the row has 3 fields, the header|a,1,2" "column nm: 'x' is not a number|$(troca 2 x)" \
    "column razao_final: 'NaN' is not a number|$(troca 10 NaN)" \
    "column tolt: '1e400' is beyond the largest double|$(troca 6 1e400)" \
    "a quoted field is not closed on its line|\"a"; do
    { cat bom.csv; printf '%s\r\n' "${caso_linha#*|}"; } > d.csv
    erro "d.csv, line 3: ${caso_linha%%|*}" --study-table d.csv
done
if command -v python3 >/dev/null; then
    # tempo linear: 4 vezes as linhas, no máximo 8 vezes o tempo (uma busca quadrática dava 13 vezes e mais);
    # memória da ordem do arquivo
    n=100000; [ "$sanitizado" = 1 ] && n=20000
    python3 - bom.csv $n <<'FIM'
import sys
cab, linha = open(sys.argv[1], newline='').read().split('\r\n')[:2]
campos = linha.split(',')
for nome, m in (('p.csv', int(sys.argv[2]) // 4), ('g.csv', int(sys.argv[2]))):
    with open(nome, 'w', newline='') as f:
        f.write(cab + '\r\n')
        for k in range(m):
            c = list(campos)
            c[0], c[1], c[5] = 'r%d.lst' % k, str(2 + k % 8), repr(1e-3 / (1 + k))
            f.write(','.join(c) + '\r\n')
FIM
    t0=$(date +%s%N); "$placa" --study-table p.csv >/dev/null || falha "p.csv"
    t1=$(date +%s%N); /usr/bin/time -f %M -o ../rss.txt "$placa" --study-table g.csv >/dev/null || falha "g.csv"
    t2=$(date +%s%N)
    [ $(( (t2 - t1) )) -le $(( 8 * (t1 - t0) + 300000000 )) ] || falha "4x as linhas levaram $(( (t2 - t1) / 1000000 )) ms contra $(( (t1 - t0) / 1000000 )) ms"
    if [ -s ../rss.txt ] && [ "$sanitizado" != 1 ]; then
        [ "$(tail -1 ../rss.txt)" -le $(( 5 * $(stat -c %s g.csv) / 1024 + 20000 )) ] ||
            falha "memória $(tail -1 ../rss.txt) KB para um resumo de $(( $(stat -c %s g.csv) / 1024 )) KB"
    fi
fi

# ---- Ctrl-C durante o editor: o editor recebe, o placa espera e termina a rodada (um processo em segundo plano
# começa com SIGINT ignorado; env --default-signal devolve a disposição de um terminal)
novo "Ctrl-C durante o editor"
printf '#!/bin/sh\ncase "$1" in *.ent) echo $$ > ../ed.pid; exec sleep 20;; esac\n' > ../lento.sh
chmod +x ../lento.sh; rm -f ../ed.pid
EDITOR="$(realpath ../lento.sh)" env --default-signal=INT,QUIT "$placa" </dev/null >/dev/null 2>&1 & pid=$!
for _ in $(seq 100); do [ -s ../ed.pid ] && break; sleep 0.1; done
kill -INT $pid; kill -QUIT $pid; sleep 0.3
kill -0 $pid 2>/dev/null || falha "o placa morreu com Ctrl-C durante o editor"
kill -INT "$(cat ../ed.pid)"
SECONDS=0; wait $pid; rc=$?
[ $rc -eq 0 ] && [ $SECONDS -le 5 ] || falha "código $rc após $SECONDS s (o editor não recebeu o Ctrl-C?)"
ps -o pid= -p "$(cat ../ed.pid)" >/dev/null && falha "o editor ficou rodando"

# ---- saída padrão perdida não é sucesso
novo "saída padrão cheia"
"$placa" -n -m </dev/null >/dev/full 2>../erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q 'write error on standard output: No space left on device' ../erro.txt || falha "código $rc"
novo "leitor da saída padrão que sai cedo"
entrada | sed "2s/.*/1/;3s/.*/40/;4s/.*/40/;5s/.*/-1/;6s/.*/30000/" > tervano3.ent
"$placa" -n --csv - --summary resumo.csv </dev/null 2>../erro.txt | head -1 >/dev/null
rc=${PIPESTATUS[0]}
[ $rc -eq 1 ] && grep -q 'Broken pipe' ../erro.txt || falha "código $rc: $(cat ../erro.txt)"
[ "$(wc -l <resumo.csv)" -eq 2 ] || falha "sem a linha do resumo"

# ---- marca de ordem de bytes UTF-8
novo "marca de ordem de bytes"; { printf '\xef\xbb\xbf'; entrada; } > tervano3.ent
rm -f saida.lst; certo
[ -f saida.lst ] || falha "listagem com outro nome: $(ls)"

echo "matriz hostil: $casos casos, $falhas falhas"
exit $((falhas > 0))
