#!/usr/bin/env python3
"""As camadas de doc/arquitetura.md contra os includes de src/: um arquivo só inclui cabeçalhos da sua pasta ou de
pastas de camada mais baixa, nunca de outra pasta da mesma camada; toda pasta de src/ está na tabela.
Uso: camadas.py RAIZ_DO_PROJETO"""
import os
import re
import sys

raiz = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..')
doc = open(os.path.join(raiz, 'doc', 'arquitetura.md'), encoding='utf-8').read()
camada = {}
for m in re.finditer(r'^\| `src/([a-z_.]+?)/?` \| (\d+) \|', doc, re.M):
    camada[m.group(1)] = int(m.group(2))
if 'main.cpp' not in camada or len(camada) < 5:
    sys.exit('doc/arquitetura.md: a tabela das camadas não foi achada')
gerados = {'versao.h', 'modelo_entrada.h', 'proveniencia.h'}

falhas = []
src = os.path.join(raiz, 'src')
for pasta in sorted(os.listdir(src)):
    caminho = os.path.join(src, pasta)
    if os.path.isdir(caminho) and pasta not in camada:
        falhas.append('src/%s/: pasta que doc/arquitetura.md não nomeia' % pasta)
for dirpath, _, arquivos in os.walk(src):
    for a in sorted(arquivos):
        if not a.endswith(('.cpp', '.h')):
            continue
        rel = os.path.relpath(os.path.join(dirpath, a), src)
        de = rel.split(os.sep)[0] if os.sep in rel else rel
        if de not in camada:
            continue
        for n, linha in enumerate(open(os.path.join(dirpath, a), encoding='utf-8'), 1):
            m = re.match(r'\s*#\s*include\s+"([^"]+)"', linha)
            if not m:
                continue
            alvo = m.group(1)
            if alvo in gerados:
                continue
            para = alvo.split('/')[0] if '/' in alvo else None
            if para is None or para not in camada:
                falhas.append('src/%s:%d: inclui "%s", fora das pastas da tabela' % (rel, n, alvo))
            elif para != de and camada[para] >= camada[de]:
                sentido = 'para cima' if camada[para] > camada[de] else 'para o lado'
                falhas.append('src/%s:%d: inclui "%s" %s (%s na camada %d, %s na %d)'
                              % (rel, n, alvo, sentido, de, camada[de], para, camada[para]))
for f in falhas:
    print(f)
print('%d pastas, %s' % (len(camada), 'camadas respeitadas' if not falhas else '%d includes fora da regra' % len(falhas)))
sys.exit(1 if falhas else 0)
