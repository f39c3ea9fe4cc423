// Núcleos de linha dos suavizadores pontuais em vetores, comuns ao AVX2 e ao AVX-512: incluído por
// varredura_avx2.cpp e varredura_avx512.cpp dentro da região de instruções de cada um. Cada raia faz a conta
// escalar do seu ponto (pontuais_escalar.cpp), com os mesmos operandos, na mesma ordem e no mesmo agrupamento; o
// resto da linha fica com a versão escalar.
#pragma once

#include "fast/rapido.h"

namespace vetorial {

// Uma cor da linha j: o valor novo em todas as raias, guardado só nas da cor (as outras voltam com o valor que
// tinham; nenhum ponto da cor lê outro da mesma cor). i anda de 2 em passos pares: a raia k tem i + k e é da cor
// quando k + j + paridade é par. Oeste e leste saem dos vetores da linha já carregados (a linha é lida uma vez, e
// nenhuma carga sobrepõe em parte a escrita do vetor anterior, o que a faria esperar por ela): as raias de que a
// cor precisa são da outra cor, que a escrita não muda.
template <class V, bool DIREITO, bool RELAXAR>
void cor_de(const passada& p, int j, int paridade) {
    using vetor = typename V::vetor;
    constexpr int L = V::largura;
    const long nx = p.nx;
    double* l = p.u + (j - 1) * nx;
    const double* f = DIREITO ? p.direito + (j - 1) * nx : nullptr;
    const vetor ae = V::difundir(p.ae), an = V::difundir(p.an), q = V::difundir(p.q), omega = V::difundir(p.omega);
    const bool pares = (j + paridade) % 2 == 0; // as raias pares são da cor
    long i = 2;
    if (i + 2 * L <= nx - 1) { // o vetor seguinte ainda cabe antes da coluna nx
        vetor anterior = V::carregar_solto(l + i - L), antigo = V::carregar_solto(l + i);
        for (; i + 2 * L <= nx - 1; i += L) {
            const vetor seguinte = V::carregar_solto(l + i + L);
            vetor s = V::somar(
                V::multiplicar(an, V::somar(V::carregar_solto(l + i - nx), V::carregar_solto(l + i + nx))),
                V::multiplicar(ae, V::somar(V::oeste(anterior, antigo), V::leste(antigo, seguinte))));
            if constexpr (DIREITO) s = V::somar(s, V::carregar_solto(f + i));
            vetor v = V::multiplicar(s, q);
            if constexpr (RELAXAR) v = V::somar(antigo, V::multiplicar(omega, V::subtrair(v, antigo)));
            V::guardar_solto(l + i, pares ? V::nas_pares(antigo, v) : V::nas_impares(antigo, v));
            anterior = antigo;
            antigo = seguinte;
        }
    }
    for (i += (i + j + paridade) % 2; i <= nx - 1; i += 2) {
        double s = p.an * (l[i - nx] + l[i + nx]) + p.ae * (l[i - 1] + l[i + 1]);
        if constexpr (DIREITO) s = s + f[i];
        const double v = s * p.q;
        if constexpr (RELAXAR) l[i] = l[i] + p.omega * (v - l[i]);
        else l[i] = v;
    }
}

template <class V>
void cor(const passada& p, int j, int paridade) {
    const bool relaxar = p.omega != 1.0;
    if (p.direito == nullptr) (relaxar ? cor_de<V, false, true> : cor_de<V, false, false>)(p, j, paridade);
    else (relaxar ? cor_de<V, true, true> : cor_de<V, true, false>)(p, j, paridade);
}

// Os valores novos da linha j de Jacobi em d[2..nx-1], a partir de u.
template <class V, bool DIREITO, bool RELAXAR>
void jacobi_de(const passada& p, int j, double* d) {
    using vetor = typename V::vetor;
    constexpr int L = V::largura;
    const long nx = p.nx;
    const double* l = p.u + (j - 1) * nx;
    const double* f = DIREITO ? p.direito + (j - 1) * nx : nullptr;
    const vetor ae = V::difundir(p.ae), an = V::difundir(p.an), q = V::difundir(p.q), omega = V::difundir(p.omega);
    long i = 2;
    for (; i + L - 1 <= nx - 1; i += L) {
        vetor s = V::somar(V::multiplicar(an, V::somar(V::carregar_solto(l + i - nx), V::carregar_solto(l + i + nx))),
                           V::multiplicar(ae, V::somar(V::carregar_solto(l + i - 1), V::carregar_solto(l + i + 1))));
        if constexpr (DIREITO) s = V::somar(s, V::carregar_solto(f + i));
        vetor v = V::multiplicar(s, q);
        if constexpr (RELAXAR) {
            const vetor antigo = V::carregar_solto(l + i);
            v = V::somar(antigo, V::multiplicar(omega, V::subtrair(v, antigo)));
        }
        V::guardar_solto(d + i, v);
    }
    for (; i <= nx - 1; ++i) {
        double s = p.an * (l[i - nx] + l[i + nx]) + p.ae * (l[i - 1] + l[i + 1]);
        if constexpr (DIREITO) s = s + f[i];
        const double v = s * p.q;
        if constexpr (RELAXAR) d[i] = l[i] + p.omega * (v - l[i]);
        else d[i] = v;
    }
}

template <class V>
void jacobi(const passada& p, int j, double* d) {
    const bool relaxar = p.omega != 1.0;
    if (p.direito == nullptr) (relaxar ? jacobi_de<V, false, true> : jacobi_de<V, false, false>)(p, j, d);
    else (relaxar ? jacobi_de<V, true, true> : jacobi_de<V, true, false>)(p, j, d);
}

} // namespace vetorial
