# Peças comuns das matrizes de falhas: diretório de casos, entrada padrão, retrato do diretório e as duas
# verificações (erro esperado com o diretório intacto; listagem completa). Espera $placa e $sanitizado.
raiz=$(mktemp -d) && trap 'chmod -R u+w "$raiz" 2>/dev/null; rm -rf "$raiz"' EXIT
falhas=0 casos=0
falha() { echo "FALHA [$caso]: $*"; falhas=$((falhas + 1)); }
unset EDITOR VISUAL
ulimit -c 0

# os doze valores, com a linha N trocada por $2 (vazio = sem troca)
entrada() {
    local n=${1:-0} v=${2:-} i=0
    while IFS= read -r l; do
        i=$((i + 1))
        if [ $i -eq "$n" ]; then printf '%s\n' "$v"; else printf '%s\n' "$l"; fi
    done <<'FIM'
saida.lst                    caso
2                            nm
3                            nxg(1)
3                            nyg(1)
1.0d-3                       tolt
20                           itmax
1                            nitm
1                            problema
0                            tipo_ci
0                            escreve
1                            freq
'Matriz de falhas'           titulo
FIM
}

# retrato do diretório: nomes, tipos e conteúdos
retrato() { (cd "$1" && find . -mindepth 1 -printf '%y %p %m\n' | sort && find . -type f -exec md5sum {} + | sort); }

# novo caso num diretório próprio, com a entrada padrão e uma listagem antiga
novo() {
    caso=$1 casos=$((casos + 1))
    # linha de progresso: num tempo esgotado ou numa falha, a saída guardada pelo ctest diz onde a matriz estava
    printf '%s [%d, %d s] %s\n' "${0##*/}" "$casos" "$SECONDS" "$caso"
    d="$raiz/c$casos" && mkdir "$d" && cd "$d" || exit 1
    entrada > tervano3.ent
    printf 'antiga\r\n' > saida.lst
}

# roda e confere: erro esperado (código 1, uma linha com o texto) e nada mudado no diretório
erro() {
    local padrao=$1; shift
    local antes; antes=$(retrato .)
    "$placa" -n "$@" </dev/null >../saida.txt 2>../erro.txt; local rc=$?
    [ $rc -eq 1 ] || falha "código $rc, esperado 1 ($(cat ../erro.txt))"
    [ "$(wc -l <../erro.txt)" -eq 1 ] || falha "erro padrão não tem uma linha: $(cat ../erro.txt)"
    grep -qF -- "$padrao" ../erro.txt || falha "mensagem sem '$padrao': $(cat ../erro.txt)"
    [ -s ../saida.txt ] && falha "algo na saída padrão"
    [ "$(retrato .)" = "$antes" ] || falha "diretório mudou: $(diff <(echo "$antes") <(retrato .) | head -5)"
}

# roda e confere: listagem completa, nenhum outro arquivo novo
certo() {
    local lista=${LISTAGEM:-saida.lst}
    "$placa" -n "$@" </dev/null >../saida.txt 2>../erro.txt; local rc=$?
    [ $rc -eq 0 ] || falha "código $rc: $(cat ../erro.txt)"
    tail -c 40 "$lista" 2>/dev/null | grep -q $' = tempo de CPU (segundos)\r$' || falha "listagem incompleta"
    ls -A | grep -q '^\.placa-' && falha "temporário esquecido"
}

# o executável para outros usuários (setpriv): uma cópia na raiz dos casos, pois a pasta do original pode estar
# fechada a outros usuários (um clone feito em mktemp -d)
placa_do_outro() {
    [ -x "$raiz/placa-outro" ] || { cp "$placa" "$raiz/placa-outro" && chmod 755 "$raiz/placa-outro"; }
    echo "$raiz/placa-outro"
}
# outros usuários só se pode ser com root e setpriv
outros_usuarios() { [ "$(id -u)" -eq 0 ] && setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; }

# o valor da coluna NOME na última linha do resumo ARQUIVO
coluna_final() { awk -F, -v c="$2" 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == c) k = i } END { print $k }' "$1" | tr -d '\r'; }

# roda um caso sob um limite de recursos (ulimit), contando a falha fora do subshell
com_limite() {
    local lim=$1 f0=$falhas; shift
    # shellcheck disable=SC2086
    ( ulimit $lim; "$@"; [ $falhas -eq $f0 ] ) || falhas=$((falhas + 1))
}


# roda e confere: código 0 e nenhum temporário (para saídas que não são arquivos regulares)
certo_sem_listagem() {
    "$placa" -n "$@" </dev/null >../saida.txt 2>../erro.txt || falha "código $?: $(cat ../erro.txt)"
    ls -A | grep -q '^\.placa-' && falha "temporário esquecido"
}
