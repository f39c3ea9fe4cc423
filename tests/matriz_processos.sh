#!/bin/bash
# Matriz de falhas dos processos: um sinal em qualquer momento de uma rodada, os filhos de um estudo (nunca órfãos,
# nunca mais que os processadores e a memória, um fork recusado espera) e o gnuplot morto no meio do desenho. Corre
# sozinha (RUN_SERIAL): o que ela observa depende do momento em que cada sinal cai e de quantos processos há.
set -u
placa=$(realpath "$1") sanitizado=${2:-0}
source "$(dirname "$0")/matriz_comum.sh"

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

echo "matriz de processos: $casos casos, $falhas falhas"
exit $((falhas > 0))
