// Linhas em y (Thomas em cada coluna, de oeste a leste) com a memória lida e escrita em ordem de linhas, e várias
// varreduras de uma vez. Um bloco de colunas vizinhas é copiado, linha a linha, para colunas contíguas de rascunho
// (com a coluna a oeste, já nova, e a a leste, ainda da varredura anterior), resolvido ali coluna a coluna e
// copiado de volta. As varreduras andam em frente de onda, cada uma dois blocos atrás da anterior: no passo t a
// varredura s faz o bloco t - 2s, cuja coluna a oeste ela devolveu no passo anterior e cujas colunas e a a leste a
// varredura s-1 devolveu antes deste passo; a coluna c dos blocos de um passo correm com as recorrências
// entrelaçadas (fast/thomas.h). Cada coluna faz as contas do laço simples (solver/suavizadores_linha.cpp), com os
// mesmos operandos: d(n) = ae*(W + E) [+ f], d(1) = d(1) + an*S, d(m) = d(m) + an*N, e = an.
// No laço simples cada coluna toca uma página de memória por ponto (as linhas de um nível grande distam mais de
// 4 KiB) três vezes; aqui o bloco inteiro a toca duas.
#include <algorithm>

#include "fast/rapido.h"
#include "fast/thomas.h"

namespace {

constexpr int colunas_do_bloco = 8;
constexpr int blocos_juntos = 4; // varreduras em frente de onda, no máximo

// O bloco de uma varredura no rascunho: coluna b (0: a oeste; 1..nb: as do bloco; nb+1: a leste), índices 1..m.
struct bloco_colunas {
    double* t;  // nb + 2 colunas de u
    double* fb; // nb colunas do lado direito
    double* d;  // lado direito de Thomas da coluna em curso
    int i0 = 0, nb = 0;
};

struct nivel_colunas {
    const nivel_passada& v;
    long mm; // distância entre colunas de rascunho (ao menos m + 1)
    int m;
};

template <bool DIREITO>
void copiar_bloco(const nivel_colunas& z, const bloco_colunas& k) {
    const long nx = z.v.nx;
    for (int n = 1; n <= z.m; ++n) {
        const double* l = z.v.u + n * nx + k.i0 - 1; // linha n+1, coluna i0-1
        for (int b = 0; b <= k.nb + 1; ++b) k.t[b * z.mm + n] = l[b];
        if constexpr (DIREITO) {
            const double* g = z.v.f + n * nx + k.i0;
            for (int b = 0; b < k.nb; ++b) k.fb[b * z.mm + n] = g[b];
        }
    }
}

void devolver_bloco(const nivel_colunas& z, const bloco_colunas& k) {
    for (int n = 1; n <= z.m; ++n) {
        double* l = z.v.u + n * z.v.nx + k.i0;
        for (int b = 0; b < k.nb; ++b) l[b] = k.t[(b + 1) * z.mm + n];
    }
}

// O lado direito da coluna b do bloco (coluna i = i0 + b - 1 da grade) em k.d.
template <bool DIREITO>
void lado_direito_da_coluna(const nivel_colunas& z, const bloco_colunas& k, int b) {
    const int m = z.m;
    const long i = k.i0 + b - 1;
    const double* oeste = k.t + (b - 1) * z.mm;
    const double* leste = k.t + (b + 1) * z.mm;
    const double* f = DIREITO ? k.fb + (b - 1) * z.mm : nullptr;
    const double ae = z.v.ae, an = z.v.an;
    for (int n = 1; n <= m; ++n) {
        double x = ae * (oeste[n] + leste[n]);
        if constexpr (DIREITO) x = x + f[n];
        k.d[n] = x;
    }
    k.d[1] = k.d[1] + an * z.v.u[i];                 // S: a linha 1
    k.d[m] = k.d[m] + an * z.v.u[i + (m + 1) * z.v.nx]; // N: a linha ny
}

template <bool DIREITO>
void frente_de_blocos(const nivel_colunas& z, bloco_colunas* blocos, int G, const double* w, const double* g) {
    const int nx = z.v.nx, total = (nx - 2 + colunas_do_bloco - 1) / colunas_do_bloco;
    for (int t = 0; t - 2 * (G - 1) < total; ++t) {
        bloco_colunas* ativos[blocos_juntos];
        int K = 0;
        for (int s = 0; s < G; ++s) {
            const int q = t - 2 * s;
            if (q < 0 || q >= total) continue;
            bloco_colunas& k = blocos[s];
            k.i0 = 2 + q * colunas_do_bloco;
            k.nb = std::min(colunas_do_bloco, nx - k.i0);
            copiar_bloco<DIREITO>(z, k);
            ativos[K++] = &k;
        }
        for (int b = 1; b <= colunas_do_bloco; ++b) {
            double* d[blocos_juntos];
            double* x[blocos_juntos];
            int n = 0;
            for (int a = 0; a < K; ++a)
                if (b <= ativos[a]->nb) {
                    lado_direito_da_coluna<DIREITO>(z, *ativos[a], b);
                    d[n] = ativos[a]->d;
                    x[n++] = ativos[a]->t + b * z.mm;
                }
            if (n > 0) thomas_de(n, w, g, z.v.an, z.m, d, x);
        }
        for (int a = 0; a < K; ++a) devolver_bloco(z, *ativos[a]);
    }
}

} // namespace

void varredura_colunas(const nivel_passada& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const int m = v.ny - 2;
    const long mm = passo_de_rascunho(m), por_bloco = (2 * colunas_do_bloco + 3) * mm;
    plano_nivel& pl = plano_do_nivel(eq, v.nx, v.ny);
    const std::size_t tamanho = static_cast<std::size_t>(2 * mm + blocos_juntos * por_bloco);
    if (pl.colunas.size() < tamanho) pl.colunas.assign(tamanho, 0.0);
    double* w = pl.colunas.data();
    double* g = w + mm;
    bloco_colunas blocos[blocos_juntos];
    for (int s = 0; s < blocos_juntos; ++s) {
        double* base = g + mm + s * por_bloco;
        blocos[s] = {base, base + (colunas_do_bloco + 2) * mm, base + (2 * colunas_do_bloco + 2) * mm};
    }
    coeficientes_thomas(w, g, m, v.an, v.ap);
    const nivel_colunas z{v, mm, m};
    for (int s = 0; s < varreduras; s += blocos_juntos) {
        const int G = std::min(blocos_juntos, varreduras - s);
        if (v.f != nullptr) frente_de_blocos<true>(z, blocos, G, w, g);
        else frente_de_blocos<false>(z, blocos, G, w, g);
    }
}
