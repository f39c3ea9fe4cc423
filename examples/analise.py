#!/usr/bin/env python3
"""A study and a run of placa in a notebook's tools: pandas, numpy and matplotlib.

    placa -n --sweep smoother=gs-lex,gs-rb,jacobi --sweep nm=3:6 --summary estudo.csv
    placa -n --json rodada.json
    python3 examples/analise.py estudo.csv rodada.json [campo.npy] [-o analise.png]

Draws the run's convergence history beside the two-grid factor that local Fourier analysis predicts, the study's
measured factor against the predicted one for every run, and (given a .npy field) the field itself. Every name is the
one placa writes: the summary's columns, the JSON keys, the option names.
"""
import argparse
import json

import matplotlib

matplotlib.use('Agg')  # no display needed: the figure goes to a file
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd


def ler(resumo, documento, campo):
    estudo = pd.read_csv(resumo)  # the defaults: no comment lines, one header
    with open(documento, encoding='utf-8') as f:
        rodada = json.load(f)
    historico = pd.DataFrame(rodada['historico'])  # the same columns as the --csv history
    t = np.load(campo) if campo else None
    return estudo, rodada, historico, t


def desenhar(estudo, rodada, historico, t, saida):
    paineis = 3 if t is not None else 2
    fig, eixos = plt.subplots(1, paineis, figsize=(5.2 * paineis, 4.2), layout='constrained')
    # the run: L1(R)i/L1(R)o per cycle, and rho_lfa^it from the same start
    a = eixos[0]
    a.semilogy(historico['iteracao'], historico['L1(R)i/L1(R)o'], 'o-', label='measured')
    rho = rodada['analise']['rho_lfa']
    if rho is not None:
        it = historico['iteracao'].to_numpy()
        a.semilogy(it, rho ** it, '--', label='rho_lfa^it (rho_lfa = %.3g)' % rho)
    m = rodada['metodo']
    a.set_title('%s: %s, cycle %s' % (rodada['entrada']['caso'], m['smoother'], m['cycle'] or '-'))
    a.set_xlabel('iteracao')
    a.set_ylabel('L1(R)i/L1(R)o')
    a.legend()
    # the study: measured asymptotic factor against the predicted two-grid factor, one marker per smoother
    b = eixos[1]
    dados = estudo.dropna(subset=['q_assintotico', 'rho_lfa'])
    for nome, grupo in dados.groupby('smoother'):
        b.loglog(grupo['rho_lfa'], grupo['q_assintotico'], 'o', label='smoother=%s' % nome)
    if len(dados):
        limites = np.array([dados[['rho_lfa', 'q_assintotico']].min().min(), dados[['rho_lfa', 'q_assintotico']].max().max()])
        b.loglog(limites, limites, 'k:', label='q_assintotico = rho_lfa')
    b.set_xlabel('rho_lfa')
    b.set_ylabel('q_assintotico')
    b.set_title('study: %d runs' % len(estudo))
    b.legend(fontsize='small')
    if t is not None:
        c = eixos[2]
        imagem = c.imshow(t, origin='lower', extent=(0, 1, 0, 1), cmap='inferno')
        fig.colorbar(imagem, ax=c, label='T')
        c.set_title('T, %d x %d points' % (t.shape[1], t.shape[0]))
    fig.savefig(saida, dpi=100)
    return fig


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument('resumo', help='a --summary file (a study)')
    p.add_argument('documento', help='a --json document (a run)')
    p.add_argument('campo', nargs='?', help='a .npy field of the run (optional)')
    p.add_argument('-o', '--output', default='analise.png', help='the figure (default analise.png)')
    a = p.parse_args()
    estudo, rodada, historico, t = ler(a.resumo, a.documento, a.campo)
    desenhar(estudo, rodada, historico, t, a.output)
    print('%s: %d runs in the study, %d iterations in the run, figure %s'
          % (a.resumo, len(estudo), rodada['resultado']['niter'], a.output))


if __name__ == '__main__':
    main()
