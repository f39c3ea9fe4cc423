// Linhas em x (Thomas em cada linha, de sul a norte) de várias varreduras de uma vez: as varreduras andam em frente
// de onda, cada uma duas linhas atrás da anterior, e as recorrências das linhas de um passo correm entrelaçadas
// (fast/thomas.h). No passo t a varredura s resolve a linha j = 2 + t - 2s: o sul, linha j-1, ela resolveu no
// passo anterior; o norte, linha j+1, a varredura s-1 resolveu no passo anterior e nenhuma outra mexe nela neste;
// cada linha tem os operandos do laço simples, d(n) = an*(S + N) [+ f], d(1) = d(1) + ae*W, d(m) = d(m) + ae*E.
#include <algorithm>

#include "fast/rapido.h"
#include "fast/thomas.h"

namespace {

constexpr int varreduras_juntas = 4; // cadeias entrelaçadas, no máximo

template <bool DIREITO>
void lado_direito_da_linha(const nivel_passada& v, int j, double* d) {
    const long nx = v.nx, P0 = 2 + (j - 1) * nx;
    const int m = v.nx - 2;
    const double* l = v.u + P0 - 1; // l[n] = u(P0 + n - 1)
    const double* f = DIREITO ? v.f + P0 - 1 : nullptr;
    for (int n = 1; n <= m; ++n) {
        double x = v.an * (l[n - nx] + l[n + nx]);
        if constexpr (DIREITO) x = x + f[n];
        d[n] = x;
    }
    d[1] = d[1] + v.ae * v.u[P0 - 1];
    d[m] = d[m] + v.ae * v.u[P0 + m];
}

// G varreduras em frente de onda.
void frente_de_varreduras(const nivel_passada& v, int G, const double* w, const double* g, double* rascunho, long mm) {
    const int m = v.nx - 2;
    for (int t = 0; 2 + t - 2 * (G - 1) <= v.ny - 1; ++t) {
        double* d[varreduras_juntas];
        double* x[varreduras_juntas];
        int K = 0;
        for (int s = 0; s < G; ++s) {
            const int j = 2 + t - 2 * s;
            if (j < 2 || j > v.ny - 1) continue;
            d[K] = rascunho + K * mm;
            x[K] = v.u + 1 + (j - 1) * static_cast<long>(v.nx); // x[K][1] = u(2, j)
            if (v.f != nullptr) lado_direito_da_linha<true>(v, j, d[K]);
            else lado_direito_da_linha<false>(v, j, d[K]);
            ++K;
        }
        if (K > 0) thomas_de(K, w, g, v.ae, m, d, x);
    }
}

} // namespace

void varredura_linhas_x(const nivel_passada& v, int varreduras, equipe& eq) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const int m = v.nx - 2;
    const long mm = passo_de_rascunho(m);
    plano_nivel& pl = plano_do_nivel(eq, v.nx, v.ny);
    const std::size_t tamanho = static_cast<std::size_t>((2 + varreduras_juntas) * mm);
    if (pl.linhas_x.size() < tamanho) pl.linhas_x.assign(tamanho, 0.0);
    double* w = pl.linhas_x.data();
    double* g = w + mm;
    coeficientes_thomas(w, g, m, v.ae, v.ap);
    for (int s = 0; s < varreduras; s += varreduras_juntas)
        frente_de_varreduras(v, std::min(varreduras_juntas, varreduras - s), w, g, g + mm, mm);
}
