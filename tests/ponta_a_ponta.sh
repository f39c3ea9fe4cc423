#!/bin/bash
# O executável de verdade num diretório temporário: listagem completa, códigos de saída e mensagens.
set -u
placa=$(realpath "$1") exemplos=$(realpath "$2")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }

# editor gravador: registra cada arquivo que recebe
cat > editor.sh <<'FIM'
#!/bin/sh
printf '%s\n' "$1" >> editados.txt
FIM
chmod +x editor.sh

cp "$exemplos/tervano3.ent" .
EDITOR="$dir/editor.sh" VISUAL= "$placa" </dev/null >saida.txt 2>erro.txt
rc=$?
[ $rc -eq 0 ] || falha "código de saída $rc"
[ -s erro.txt ] && falha "stderr não vazio: $(cat erro.txt)"
[ -s saida.txt ] && falha "stdout não vazio"
[ "$(cat editados.txt)" = "$(printf './tervano3.ent\n./exemplo1.lst')" ] || falha "editor: $(cat editados.txt)"
[ -f exemplo1.lst ] || falha "sem listagem"
linhas=$(grep -c $'\r$' exemplo1.lst)
[ "$linhas" -eq "$(wc -l < exemplo1.lst)" ] || falha "linhas sem CR LF"
tail -c 2 exemplo1.lst | od -An -c | grep -q '\\r  *\\n' || falha "última linha sem CR LF"
grep -q $'^         6   2.563326E-09' exemplo1.lst || falha "linha da iteração 6"
grep -q ' = tempo de CPU (segundos)' exemplo1.lst || falha "linha do tempo de CPU"

# sem editor e sem terminal: a rodada segue normalmente
rm -f exemplo1.lst
env -u EDITOR -u VISUAL "$placa" </dev/null >/dev/null 2>&1 || falha "sem editor"
[ -f exemplo1.lst ] || falha "sem editor: sem listagem"

# entrada ruim: mensagem com arquivo e linha, código 1, nenhuma listagem nova
rm -f exemplo1.lst
sed -i '6s/.*/cinquenta/' tervano3.ent
env -u EDITOR -u VISUAL "$placa" </dev/null >/dev/null 2>erro.txt
rc=$?
[ $rc -eq 1 ] || falha "entrada ruim: código $rc"
grep -q '^placa: list-directed input syntax error, unit 7, file tervano3.ent, line 6' erro.txt || falha "mensagem: $(cat erro.txt)"
[ -f exemplo1.lst ] && falha "listagem escrita apesar do erro"

ls -A | grep -q '^\.placa-' && falha "temporário esquecido"
[ $falhas -eq 0 ] && echo "ponta a ponta: tudo certo"
exit $((falhas > 0))
