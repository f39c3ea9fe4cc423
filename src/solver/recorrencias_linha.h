// O rascunho das recorrências de Thomas dos suavizadores por linhas (constante, variável e de nove pontos): w, g, h
// e d de uma chamada, cada um com m+1 posições (índices 1..m), repartidos de um só bloco.
#pragma once

struct recorrencias {
    double *w, *g, *h, *d;
};

inline recorrencias repartir(double* rascunho, int m) {
    const long n = m + 1;
    return {rascunho, rascunho + n, rascunho + 2 * n, rascunho + 3 * n};
}
