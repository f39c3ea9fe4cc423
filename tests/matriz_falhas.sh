#!/bin/bash
# Matriz de falhas no executável de verdade: cada caso termina numa listagem completa ou numa
# mensagem de uma linha que diz o quê e onde, e o diretório fica como estava (menos a listagem).
set -u
placa=$(realpath "$1") exemplos=$(realpath "$2") sanitizado=${3:-0}
source "$(dirname "$0")/matriz_comum.sh"

# ---- entrada
novo "entrada ausente, sem editor: o erro e a dica do modelo"; rm tervano3.ent
"$placa" -n </dev/null >../saida.txt 2>../erro.txt; rc=$?
[ $rc -eq 1 ] && [ "$(sed -n 1p ../erro.txt)" = "placa: cannot open unit 7, file tervano3.ent: No such file or directory" ] &&
    [ "$(sed -n 2p ../erro.txt)" = "placa: hint: 'placa --template > tervano3.ent' writes a commented example to start from" ] ||
    falha "$rc $(cat ../erro.txt)"
[ -e tervano3.ent ] && falha "a entrada foi criada"
"$placa" --template > modelo.ent && cmp -s modelo.ent "$exemplos/tervano3.ent" || falha "--template"

novo "entrada ausente, com editor: o modelo comentado é escrito e aberto"; rm tervano3.ent
EDITOR=true "$placa" </dev/null >/dev/null 2>../erro.txt; rc=$?
[ $rc -eq 0 ] && cmp -s tervano3.ent "$exemplos/tervano3.ent" && [ -f exemplo1.lst ] || falha "$rc $(cat ../erro.txt)"
grep -q "^placa: note: tervano3.ent did not exist: it now holds a commented example" ../erro.txt || falha "sem a nota"

novo "editor que esvazia a entrada"
EDITOR="truncate -s 0" "$placa" </dev/null 2>../erro.txt; rc=$?
[ $rc -eq 1 ] && grep -q "end-of-file during read, unit 7, file tervano3.ent: caso missing (the file is empty)" ../erro.txt ||
    falha "$rc $(cat ../erro.txt)"
[ "$(cat saida.lst)" = $'antiga\r' ] || falha "listagem antiga mudou"

novo "arquivo vazio"; : > tervano3.ent
erro "caso missing (the file is empty)"

nomes=(caso nm "nxg(1)" "nyg(1)" tolt itmax nitm problema tipo_ci escreve freq titulo)
for n in $(seq 1 11); do
    novo "termina depois do valor $n"; entrada | head -n "$n" > tervano3.ent
    erro "end-of-file during read, unit 7, file tervano3.ent: ${nomes[$n]} missing (the file ends after line $n)"
done

novo "letras no lugar de número"; entrada 6 "vinte" > tervano3.ent
erro "list-directed input syntax error, unit 7, file tervano3.ent, line 6: itmax = \"vinte\" is not an integer"
novo "número acima de 32 bits"; entrada 11 "2147483648" > tervano3.ent
erro "value out of range, unit 7, file tervano3.ent, line 11: freq = 2147483648"
for t in "1.0q-6" "--1" "1e" "." "1.0d-6x"; do
    novo "tolt $t"; entrada 5 "$t" > tervano3.ent
    erro "list-directed input syntax error, unit 7, file tervano3.ent, line 5: tolt = \"$t\" is not a real number"
done
novo "tolt 1e400"; entrada 5 "1e400" > tervano3.ent
erro "value out of range, unit 7, file tervano3.ent, line 5: tolt = 1e400"
novo "aspas sem fim"; entrada 12 "'Matriz de falhas" > tervano3.ent
erro "unit 7, file tervano3.ent, line 12: unterminated quoted text for titulo"
novo "número de um megabyte"; { entrada | head -5; head -c 1048576 /dev/zero | tr '\0' '7'; echo; entrada | tail -6; } > tervano3.ent
erro "unit 7, file tervano3.ent, line 6: itmax is too long"
novo "comentário de um megabyte"; { entrada | head -5; printf '20 '; head -c 1048576 /dev/zero | tr '\0' 'c'; echo; entrada | tail -6; } > tervano3.ent
certo
novo "título de um megabyte"; { entrada | head -11; head -c 1048576 /dev/zero | tr '\0' 't'; echo; } > tervano3.ent
certo
grep -q "^título = t\{90\}"$'\r$' <(iconv -f latin1 -t utf-8 saida.lst) || falha "título não cortado em 90"
novo "bytes NUL"; entrada 3 $'3\x01' | sed 's/\x01/\x00/' > tervano3.ent
erro "unit 7, file tervano3.ent, line 3: NUL byte in nxg(1)"
novo "bytes acima de 127"; entrada 12 $'\'Condu\xe7\xe3o t\xe9rmica\'' > tervano3.ent
certo
grep -qa $'^t\xedtulo = Condu\xe7\xe3o t\xe9rmica\r$' saida.lst || falha "bytes Latin-1 não passaram iguais"
novo "fins de linha CR LF"; entrada | sed 's/$/\r/' > tervano3.ent
certo; cp saida.lst ../crlf.lst
entrada > tervano3.ent; certo
cmp -s <(sed '4d;$d' saida.lst) <(sed '4d;$d' ../crlf.lst) || falha "CR LF leu diferente de LF"
novo "mais de 2^31 linhas em branco"
if [ "$sanitizado" = 1 ]; then
    echo "2^31 linhas não testadas no binário com sanitizers (lento demais)"
else
    yes '' | head -n 2147483653 | "$placa" -n /dev/stdin 2>../erro.txt
    grep -q "caso missing (the file ends after line 2147483653)" ../erro.txt || falha "$(cat ../erro.txt)"
fi
novo "diretório chamado tervano3.ent"; rm tervano3.ent; mkdir tervano3.ent
erro "error reading unit 7, file tervano3.ent: Is a directory"

# ---- tamanhos
for v in "2 0" "2 32" "2 -1" "3 1" "4 0" "4 -7"; do
    set -- $v
    novo "linha $1 = $2"; entrada "$1" "$2" > tervano3.ent
    erro "value out of range, unit 7, file tervano3.ent, line $1:"
done
novo "grade que estoura 32 bits"; entrada 2 25 > tervano3.ent
erro "above the 32-bit limit 2147483647"
novo "itmax enorme numa rodada que converge"; entrada 6 2147483647 > tervano3.ent
if [ "$sanitizado" = 1 ]; then
    echo "limite de memória não testado no binário com sanitizers (ASan reserva espaço de endereçamento)"
else
    com_limite "-v 300000" certo
    grep -qa '^ 2147483647       = itmax' saida.lst || falha "itmax não ecoado"
    novo "grade maior que a memória"; entrada 2 1 | sed '3s/.*/10000/;4s/.*/10000/' > tervano3.ent
    com_limite "-v 300000" erro "but only "
    novo "fator em banda do nível 1 maior que a memória"; entrada | sed '3s/.*/500/;4s/.*/500/' > tervano3.ent
    com_limite "-v 300000" erro ", band factor of level 1 946.1 MiB," --coarsest solve
    com_limite "-v 300000" certo
fi

novo "fator do nível 1 de minutos: o aviso com a estimativa antes de começar e, num terminal, o progresso"
# 420 x 420 incógnitas: 1,6e10 produtos, dezenas de segundos (o laço interno não vetoriza: a ordem das somas é fixa)
entrada | sed '3s/.*/422/;4s/.*/422/' > tervano3.ent
"$placa" -n --coarsest solve </dev/null >/dev/null 2>../erro.txt & pid=$!
for _ in $(seq 100); do grep -q 'takes about' ../erro.txt && break; kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill $pid 2>/dev/null; wait $pid 2>/dev/null
if grep -q 'not enough memory' ../erro.txt; then
    echo "fator lento não testado: falta memória para o fator de 600 MB"
else
    grep -q '^placa: warning: --coarsest solve: the band Cholesky factor of level 1 (422 x 422 points) takes about .*--coarsest N' \
        ../erro.txt || falha "sem o aviso: $(cat ../erro.txt)"
    if command -v script >/dev/null; then
        # num terminal (script): espera a linha de progresso (até 20 s numa máquina carregada), depois termina a rodada
        script -qfec "sh -c 'echo \$\$ > ../pid_fator; exec $placa -n --coarsest solve'" /dev/null >../tty.txt 2>&1 \
            </dev/null & sp=$!
        for _ in $(seq 200); do grep -qa 'fator do nível 1: [0-9]*%, [0-9.]* s' ../tty.txt && break; sleep 0.1; done
        [ -s ../pid_fator ] && kill -TERM "$(cat ../pid_fator)" 2>/dev/null
        wait $sp 2>/dev/null
        grep -qa 'fator do nível 1: [0-9]*%, [0-9.]* s' ../tty.txt || falha "sem progresso no terminal: $(tail -c 300 ../tty.txt)"
    fi
fi
ls -A | grep -q '^\.placa-' && falha "temporário esquecido"

# ---- listagem
novo "pasta inexistente"; entrada 1 "'nao/existe.lst'" > tervano3.ent
erro "cannot open, unit 10, file nao/existe.lst: No such file or directory"
novo "caso vazio"; entrada 1 "''" > tervano3.ent
erro "cannot open unit 10: the listing name (caso) is empty"
novo "caso é um diretório"; mkdir pasta; entrada 1 pasta > tervano3.ent
erro "cannot open, unit 10, file pasta: Is a directory"
novo "listagem antiga só de leitura"; chmod 444 saida.lst
erro "cannot open, unit 10, file saida.lst: Permission denied"
[ "$(cat saida.lst)" = $'antiga\r' ] || falha "listagem antiga mudou"
novo "disco cheio (limite de tamanho de arquivo)"
com_limite "-f 1" erro "write error, unit 10, file saida.lst: File too large"
novo "pasta sem escrita"; mkdir -p ro && entrada 1 "'ro/saida.lst'" > tervano3.ent && printf 'antiga\r\n' > ro/saida.lst
chmod 555 ro
if [ "$(id -u)" -ne 0 ]; then
    erro "cannot open, unit 10, file ro/saida.lst: Permission denied"
elif command -v setpriv >/dev/null && setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; then
    chmod 755 "$raiz" "$d"; chmod 644 tervano3.ent
    antes=$(retrato .)
    setpriv --reuid=65534 --regid=65534 --clear-groups "$(placa_do_outro)" -n </dev/null 2>../erro.txt; rc=$?
    [ $rc -eq 1 ] && grep -q "cannot open, unit 10, file ro/saida.lst: Permission denied" ../erro.txt ||
        falha "$rc $(cat ../erro.txt)"
    [ "$(retrato .)" = "$antes" ] || falha "diretório mudou"
else
    echo "pasta sem escrita não testada: root sem setpriv"
fi

# ---- editor
novo "sem editor nenhum"; certo
novo "editor que falha"; EDITOR=false certo
novo "editor que não existe"; EDITOR=/nao/existe/editor certo
novo "editor lento"; EDITOR="sleep 1; true" certo

# ---- threads: nunca mais que os processadores, e o que o sistema recusar vira menos threads, mesmos bits
sem_data() { sed '4d;$d' "$1"; } # a listagem sem a data e sem o tempo de CPU
novo "-j 1024 não é mais lento que -j 1"
n=1025; [ "$sanitizado" = 1 ] && n=257
entrada | sed "2s/.*/1/;3s/.*/$n/;4s/.*/$n/;6s/.*/4/;8s/.*/2/" > tervano3.ent
inicio=$(date +%s%N); certo -j 1; t1=$(( $(date +%s%N) - inicio )); cp saida.lst ../j1.lst
inicio=$(date +%s%N); certo -j 1024 -m; t1024=$(( $(date +%s%N) - inicio ))
cmp -s <(sem_data saida.lst) <(sem_data ../j1.lst) || falha "-j 1024 deu outra listagem"
grep -q "^threads: 1024 pedidas, [0-9]* usadas" ../saida.txt || falha "monitor sem as threads: $(tail -1 ../saida.txt)"
# folga larga (não é um teste de tempo): com 1024 threads disputando 2 processadores levava 300 vezes mais
[ "$t1024" -le $((5 * t1 + 500000000)) ] || falha "-j 1024 levou $((t1024 / 1000000)) ms contra $((t1 / 1000000)) ms com -j 1"

novo "sistema recusa criar threads (ulimit -u)"
entrada | sed "2s/.*/1/;3s/.*/$n/;4s/.*/$n/;6s/.*/3/;8s/.*/2/" > tervano3.ent
certo -j 1; cp saida.lst ../j1.lst; rm saida.lst
# o LeakSanitizer precisa criar um processo no fim, o que o limite proíbe; o resto da matriz confere vazamentos
asan_antes=${ASAN_OPTIONS-}
[ "$sanitizado" = 1 ] && export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
if [ "$(id -u)" -ne 0 ]; then
    # o limite conta os processos do usuário: com outros já rodando, nenhuma thread nova é criada
    ( ulimit -u 1 && exec "$placa" -n -m -j 2 ) </dev/null >../saida.txt 2>../erro.txt; rc=$?
elif command -v setpriv >/dev/null && setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; then
    chmod 755 "$raiz" "$d"; chmod 666 tervano3.ent; chmod 777 .
    setpriv --reuid=65534 --regid=65534 --clear-groups bash -c 'ulimit -u 1 && exec "$0" -n -m -j 2' \
        "$(placa_do_outro)" \
        </dev/null >../saida.txt 2>../erro.txt; rc=$?
else
    rc=skip; echo "limite de processos não testado: root sem setpriv"
fi
if [ "$rc" != skip ]; then
    [ "$rc" -eq 0 ] || falha "código $rc: $(cat ../erro.txt)"
    cmp -s <(sem_data saida.lst) <(sem_data ../j1.lst) || falha "listagem diferente da de -j 1"
    grep -q "^threads: 2 pedidas, 1 usadas (o sistema" ../saida.txt || falha "monitor não disse: $(tail -1 ../saida.txt)"
fi
[ "$sanitizado" = 1 ] && export ASAN_OPTIONS="$asan_antes"

# ---- vereditos honestos: uma rodada que diverge não parece sucesso
novo "vermelho-preto com injeção diverge: para ali, código 3, o aviso da LFA antes e o veredito em toda saída"
"$placa" -n -m --smoother gs-rb --set nm=4 --set nitm=2 --set problema=2 --set itmax=50 --summary r.csv \
    </dev/null >../saida.txt 2>../erro.txt; rc=$?
[ $rc -eq 3 ] || falha "código $rc, esperado 3"
grep -q '^placa: warning: the method is not expected to converge: .* rho = 1.0000 .*injection passes down about twice' \
    ../erro.txt || falha "sem o aviso da LFA: $(cat ../erro.txt)"
grep -q '^placa: the solve diverged: L1(R)i/L1(R)o = .* at iteration [0-9]* is above 1e6' ../erro.txt ||
    falha "sem a mensagem: $(cat ../erro.txt)"
grep -q '^divergiu em [0-9]* iterações' ../saida.txt || falha "monitor: $(grep ' em ' ../saida.txt)"
n=$(grep -c '^ *[0-9][0-9]*   [0-9.]*E[-+][0-9]*   ' ../saida.txt)
[ "$n" -lt 50 ] || falha "não parou na divergência: $n iterações"
tail -3 saida.lst | head -1 | grep -q $'^divergiu          = veredito: ' || falha "listagem sem o veredito: $(tail -4 saida.lst)"
[ "$(coluna_final r.csv veredito)" = divergiu ] || falha "resumo: $(tail -1 r.csv)"
novo "o método clássico: a listagem não muda, o veredito só no monitor e no resumo"
certo -m --set itmax=3 --set tolt=1e-12 --summary r.csv
grep -q '^parou em 3 iterações (itmax, ainda convergindo)' ../saida.txt || falha "monitor: $(grep ' em ' ../saida.txt)"
grep -qa veredito saida.lst && falha "veredito na listagem clássica"
[ "$(coluna_final r.csv veredito)" = parou ] || falha "resumo: $(tail -1 r.csv)"
novo "malha única que estagna"
certo -m --set nm=1 --set nxg=40 --set nyg=40 --set itmax=30 --set tolt=1e-12
grep -q '^estagnou em 30 iterações (itmax; fator assintótico ajustado 0\.9[5-9]' ../saida.txt ||
    falha "monitor: $(grep ' em ' ../saida.txt)"

# ---- interrupção: qualquer sinal que termine o processo, a qualquer momento, até SIGKILL
novo "interrupção"
# a solução e depois ~30 MB de listagem; os momentos dos sinais são frações da duração de uma rodada inteira
# medida aqui, para que caiam na solução e na escrita em qualquer máquina, e o último depois do fim
n=1500; [ "$sanitizado" = 1 ] && n=500
entrada | sed "2s/.*/1/;3s/.*/$n/;4s/.*/$n/;6s/.*/10/;10s/.*/1/" > tervano3.ent
ulimit -c 0 2>/dev/null || true # sem arquivos core de QUIT e XCPU
inicio=$EPOCHREALTIME
"$placa" -n </dev/null >/dev/null 2>&1 || falha "a rodada inteira falhou"
duracao=$(awk -v a="$inicio" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')
# cada sinal em dois dos quatro momentos (um cedo, um tarde), metade dos sinais em cada momento
sinais=(TERM INT KILL QUIT USR1 ALRM XCPU HUP) d=0
for fracao in 0.03 0.4 0.8 1.3; do
    atraso=$(awk -v t="$duracao" -v f="$fracao" 'BEGIN { printf "%.3f", t * f }')
    d=$((d + 1))
    for k in "${!sinais[@]}"; do
        [ $(((k + d) % 2)) -eq 0 ] || continue
        sinal=${sinais[$k]}
        printf 'antiga\r\n' > saida.lst
        env --default-signal "$placa" -n </dev/null >/dev/null 2>&1 &
        pid=$!
        sleep "$atraso"; kill -s $sinal $pid 2>/dev/null; wait $pid 2>/dev/null
        ls -A | grep -q '^\.placa-' && falha "temporário esquecido ($sinal após $atraso s)"
        if ! printf 'antiga\r\n' | cmp -s - saida.lst; then
            tail -c 40 saida.lst | grep -q $' = tempo de CPU (segundos)\r$' ||
                falha "listagem parcial ($sinal após $atraso s)"
        fi
    done
done
rm -f core core.*

# ---- os filhos de um estudo: nunca órfãos, nunca mais que os processadores e a memória, um fork recusado espera
# o máximo de filhos vivos de `pid` enquanto ele vive
maximo_de_filhos() {
    local m=0 n
    while kill -0 "$1" 2>/dev/null; do
        n=$(pgrep -c -P "$1"); [ "$n" -gt "$m" ] && m=$n
        sleep 0.02
    done
    echo $m
}
novo "SIGKILL de um estudo: os filhos terminam com ele"
entrada | sed '2s/.*/1/;3s/.*/300/;4s/.*/300/;5s/.*/1e-300/;6s/.*/100000/' > tervano3.ent
"$placa" -j 2 --sweep nitm=1:4 --summary k.csv </dev/null >/dev/null 2>&1 & pid=$!
for _ in $(seq 100); do [ "$(pgrep -c -P $pid)" -ge 1 ] && break; sleep 0.05; done
filhos=$(pgrep -P $pid)
[ -n "$filhos" ] || falha "nenhum filho começou"
kill -KILL $pid; wait $pid 2>/dev/null
for _ in $(seq 50); do vivos=0; for f in $filhos; do kill -0 "$f" 2>/dev/null && vivos=1; done; [ $vivos -eq 0 ] && break; sleep 0.1; done
for f in $filhos; do kill -0 "$f" 2>/dev/null && { falha "o filho $f seguiu resolvendo"; kill -KILL "$f"; }; done
sleep 0.2; ls -A | grep -q '^\.placa-' && falha "temporário esquecido"

novo "-j 1024 num só processador: uma rodada de cada vez"
if command -v taskset >/dev/null && taskset -c 0 true 2>/dev/null; then
    entrada | sed '2s/.*/1/;3s/.*/150/;4s/.*/150/;5s/.*/1e-300/;6s/.*/300/' > tervano3.ent
    taskset -c 0 "$placa" -j 1024 --sweep nitm=1:6 --summary j.csv </dev/null >/dev/null 2>../erro.txt & pid=$!
    m=$(maximo_de_filhos $pid); wait $pid || falha "código $?: $(cat ../erro.txt)"
    [ "$m" -le 1 ] || falha "$m rodadas ao mesmo tempo num processador"
    [ "$(tail -n +2 j.csv | wc -l)" -eq 6 ] || falha "linhas: $(cat j.csv)"
else
    echo "processadores de um estudo não testados: falta o taskset"
fi

novo "grades grandes: os planos de memória somados cabem no que há, uma rodada de cada vez"
if [ "$sanitizado" = 1 ]; then
    echo "memória de um estudo não testada no binário com sanitizers (ASan reserva espaço de endereçamento)"
else
    # cada rodada planeja ~250 MB (5600 x 5600 pontos); com 450 MB de espaço de endereçamento, só uma de cada vez
    entrada | sed '2s/.*/1/;3s/.*/5600/;4s/.*/5600/;6s/.*/1/' > tervano3.ent
    ( ulimit -v 450000; exec "$placa" -j 2 --sweep nitm=1:3 --summary m.csv ) </dev/null >/dev/null 2>../erro.txt &
    pid=$!
    m=$(maximo_de_filhos $pid); wait $pid || falha "código $?: $(cat ../erro.txt)"
    [ "$m" -le 1 ] || falha "$m rodadas de 250 MB ao mesmo tempo em 450 MB"
    [ "$(tail -n +2 m.csv | wc -l)" -eq 3 ] || falha "linhas: $(cat m.csv)"
fi

novo "limite de processos: o fork recusado espera a vez"
if outros_usuarios; then
    chmod 755 "$raiz" "$d"; chmod 666 tervano3.ent; chmod 777 .
    entrada | sed '2s/.*/1/;3s/.*/100/;4s/.*/100/;5s/.*/1e-300/;6s/.*/200/' > tervano3.ent
    asan_antes=${ASAN_OPTIONS-}
    [ "$sanitizado" = 1 ] && export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    # o estudo e um filho cabem no limite; o segundo filho espera o primeiro acabar
    setpriv --reuid=65534 --regid=65534 --clear-groups bash -c \
        'ulimit -u 2 && exec "$0" -j 4 --sweep nitm=1:4 --summary u.csv tervano3.ent' "$(placa_do_outro)" \
        </dev/null >/dev/null 2>../erro.txt; rc=$?
    [ "$sanitizado" = 1 ] && export ASAN_OPTIONS="$asan_antes"
    [ $rc -eq 0 ] || falha "código $rc: $(cat ../erro.txt)"
    [ "$(tail -n +2 u.csv | wc -l)" -eq 4 ] || falha "linhas: $(cat u.csv)"
else
    echo "limite de processos de um estudo não testado: exige root e setpriv"
fi

novo "SIGKILL enquanto o gnuplot desenha: nenhum temporário com nome"
if command -v gnuplot >/dev/null; then
    mkdir ../lento && printf '#!/bin/sh\necho $$ > %s/gp.pid\nsleep 3\nexec %s "$@"\n' "$raiz" "$(command -v gnuplot)" \
        > ../lento/gnuplot && chmod +x ../lento/gnuplot
    PATH="$(realpath ../lento):$PATH" "$placa" -n --plot fig </dev/null >/dev/null 2>&1 & pid=$!
    for _ in $(seq 100); do [ -s "$raiz/gp.pid" ] && break; sleep 0.05; done
    sleep 0.2; kill -KILL $pid; wait $pid 2>/dev/null
    ls -A | grep -q '^\.placa-' && falha "temporários deixados: $(ls -A | grep -c '^\.placa-')"
    ls fig* >/dev/null 2>&1 && falha "saídas parciais: $(ls fig*)"
    kill "$(cat "$raiz/gp.pid")" 2>/dev/null
else
    echo "SIGKILL durante o gnuplot não testado: falta o gnuplot"
fi

echo "matriz de falhas: $casos casos, $falhas falhas"
exit $((falhas > 0))
