#!/bin/bash
# A interrupção de um estudo no executável de verdade: SIGTERM e SIGINT param os lançamentos, nenhum temporário
# fica, as rodadas prontas ficam inteiras. Corre sozinho (RUN_SERIAL): espera sinais num momento da rodada, que a
# carga dos vizinhos mudaria; o resto do estudo está em estudo_ponta_a_ponta.sh.
set -u
placa=$(realpath "$1") exemplos=$(realpath "$2")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }
unset EDITOR VISUAL
cp "$exemplos/lfa.ent" .
temporarios() { ls -A | grep -q '^\.placa-'; }

# ---- interrupção: SIGTERM e SIGINT param os lançamentos; nenhum temporário; as rodadas prontas ficam inteiras
sed 's/^8 /11 /; s/^1.0d-13 /1.0d-10 /' lfa.ent > grande.ent
for sinal in TERM INT; do
    mkdir "s$sinal" && cd "s$sinal" || exit 1
    set -m # com controle de tarefas, um processo em segundo plano recebe SIGINT
    "$placa" -j 2 --sweep nitm=1,1000 --sweep pre=1,2 --summary s.csv ../grande.ent >saida.txt 2>erro.txt &
    pid=$!
    set +m
    for _ in $(seq 300); do ls ./*.lst >/dev/null 2>&1 && break; sleep 0.1; done
    kill -s $sinal $pid
    wait $pid; rc=$?
    esperado=$((128 + $(kill -l $sinal)))
    [ $rc -eq $esperado ] || falha "$sinal: código $rc, esperado $esperado: $(cat erro.txt)"
    grep -q "^placa: study interrupted by signal $(kill -l $sinal): [12] of 4 runs finished" erro.txt || falha "$sinal: $(cat erro.txt)"
    sleep 0.2
    temporarios && falha "$sinal: temporário esquecido"
    for f in *.lst; do tail -c 2 "$f" | od -c | grep -q '\\r  *\\n' || falha "$sinal: $f incompleta"; done
    [ "$(tail -n +2 s.csv | wc -l)" -eq "$(ls *.lst | wc -l)" ] || falha "$sinal: linhas e listagens"
    cd ..
done
# o sinal que chega depois de uma rodada efetivar listagem e linha, antes de o filho sair (o strace segura cada
# filho 0,3 s logo depois do rename da listagem): a rodada conta como terminada, e nenhuma mensagem nega o arquivo
if strace -f -qq -o /dev/null true 2>/dev/null; then
    mkdir starde && cd starde || exit 1
    strace -f -qq -o /dev/null -e trace=rename -e inject=rename:delay_exit=300000 \
        "$placa" -j 2 --sweep nitm=1,1000 --sweep pre=1,2 --summary s.csv ../grande.ent >saida.txt 2>erro.txt &
    rastreador=$!
    for _ in $(seq 1500); do ls ./*.lst >/dev/null 2>&1 && break; sleep 0.02; done
    sleep 0.05
    pkill -TERM -P $rastreador -x placa
    wait $rastreador
    n=$(ls ./*.lst | wc -l)
    grep -q "^placa: study interrupted by signal 15: $n of 4 runs finished" erro.txt && [ "$n" -ge 1 ] &&
        [ "$(tail -n +2 s.csv | wc -l)" -eq "$n" ] || falha "sinal depois da efetivação: $n listagens; $(cat erro.txt)"
    for f in $(sed -n 's/^placa: study run \(.*\) stopped by the signal.*/\1/p' erro.txt); do
        [ -e "$f" ] && falha "sinal depois da efetivação: a mensagem nega $f, que existe"
    done
    cd ..
else
    echo "sem ptrace aqui: o sinal entre a efetivação e a saída de um filho não foi exercitado"
fi

[ $falhas -eq 0 ] && echo "interrupção do estudo: tudo certo"
exit $((falhas > 0))
