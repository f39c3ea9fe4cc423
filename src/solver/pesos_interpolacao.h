// Os pesos da interpolação como política dos núcleos que os leem (prolongação e restrição transposta): os mesmos em
// todo ponto (bilinear, ou dependente do operador com um estêncil constante) ou quatro grades por ponto do nível fino
// (doc/metodo.md, 12.3). Lados das arestas: 0 = oeste (x) ou sul (y), 1 = leste ou norte; cantos dos centros: 0 =
// sudoeste, 1 = sudeste, 2 = noroeste, 3 = nordeste.
#pragma once

#include "solver/plano.h"

struct pesos_fixos {
    pesos_constantes w;
    pesos_fixos(const vista_interpolacao& i, long) : w(i.constantes) {}
    double aresta_x(long, int lado) const { return lado == 0 ? w.oeste : w.leste; }
    double aresta_y(long, int lado) const { return lado == 0 ? w.sul : w.norte; }
    double centro(long, int canto) const {
        return canto == 0 ? w.sudoeste : canto == 1 ? w.sudeste : canto == 2 ? w.noroeste : w.nordeste;
    }
};

struct pesos_por_ponto {
    const double* g;
    long nxy;
    pesos_por_ponto(const vista_interpolacao& i, long n) : g(i.pesos), nxy(n) {}
    double aresta_x(long P, int lado) const { return g[lado * nxy + P]; }
    double aresta_y(long P, int lado) const { return g[lado * nxy + P]; }
    double centro(long P, int canto) const { return g[canto * nxy + P]; }
};
