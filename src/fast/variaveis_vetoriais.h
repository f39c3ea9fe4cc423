// Núcleos de linha do vermelho-preto e do Jacobi com o operador variável de cinco pontos e com o de nove pontos,
// em vetores, comuns ao AVX2 e ao AVX-512: incluído por varredura_avx2.cpp e varredura_avx512.cpp dentro da região
// de instruções de cada um. Cada raia faz a conta escalar do seu ponto (pontuais_escalar.cpp) com os mesmos
// operandos, na mesma ordem e no mesmo agrupamento, a divisão incluída; o resto da linha fica com a versão escalar.
#pragma once

#include "fast/rapido.h"

namespace vetorial {

// ((ay(P)*S + ay(P+nx)*N) + (ax(P)*W + ax(P+1)*E) [+ f(P)]) / ap(P) nas raias de l + i, com oeste e leste já
// montados.
template <class V, bool DIREITO>
typename V::vetor valor_variavel(const double* l, const double* f, const double* ax, const double* ay,
                                 const double* ap, long i, long nx, typename V::vetor oeste,
                                 typename V::vetor leste) {
    const auto y = V::somar(V::multiplicar(V::carregar_solto(ay + i), V::carregar_solto(l + i - nx)),
                            V::multiplicar(V::carregar_solto(ay + i + nx), V::carregar_solto(l + i + nx)));
    const auto x = V::somar(V::multiplicar(V::carregar_solto(ax + i), oeste),
                            V::multiplicar(V::carregar_solto(ax + i + 1), leste));
    auto s = V::somar(y, x);
    if constexpr (DIREITO) s = V::somar(s, V::carregar_solto(f + i));
    return V::dividir(s, V::carregar_solto(ap + i));
}

// Uma cor da linha l (j + paridade par: as raias pares são da cor), como em cor_de (pontuais_vetoriais.h): o valor
// novo, valor(i, oeste, leste), em todas as raias, guardado só nas da cor; oeste e leste saem dos vetores da linha já
// carregados, e as raias de que a cor precisa são da outra cor. Devolve a coluna em que o resto escalar começa.
template <class V, bool RELAXAR, class F>
long cor_em_vetores(double* l, long nx, bool pares, double relaxacao, const F& valor) {
    using vetor = typename V::vetor;
    constexpr int L = V::largura;
    const vetor omega = V::difundir(relaxacao);
    long i = 2;
    if (i + 2 * L <= nx - 1) {
        vetor anterior = V::carregar_solto(l + i - L), antigo = V::carregar_solto(l + i);
        for (; i + 2 * L <= nx - 1; i += L) {
            const vetor seguinte = V::carregar_solto(l + i + L);
            vetor x = valor(i, V::oeste(anterior, antigo), V::leste(antigo, seguinte));
            if constexpr (RELAXAR) x = V::somar(antigo, V::multiplicar(omega, V::subtrair(x, antigo)));
            V::guardar_solto(l + i, pares ? V::nas_pares(antigo, x) : V::nas_impares(antigo, x));
            anterior = antigo;
            antigo = seguinte;
        }
    }
    return i;
}

// Jacobi na linha l (de antes da varredura): o valor novo, valor(i, oeste, leste), em d + i, as raias inteiras.
// Devolve a coluna em que o resto escalar começa.
template <class V, bool RELAXAR, class F>
long jacobi_em_vetores(const double* l, double* d, long nx, double relaxacao, const F& valor) {
    using vetor = typename V::vetor;
    constexpr int L = V::largura;
    const vetor omega = V::difundir(relaxacao);
    long i = 2;
    for (; i + L - 1 <= nx - 1; i += L) {
        vetor x = valor(i, V::carregar_solto(l + i - 1), V::carregar_solto(l + i + 1));
        if constexpr (RELAXAR) {
            const vetor antigo = V::carregar_solto(l + i);
            x = V::somar(antigo, V::multiplicar(omega, V::subtrair(x, antigo)));
        }
        V::guardar_solto(d + i, x);
    }
    return i;
}

template <class V, bool DIREITO, bool RELAXAR>
void cor_variavel_de(const nivel_variavel& v, int j, int paridade) {
    using vetor = typename V::vetor;
    const long nx = v.nx, o = (j - 1) * nx;
    double* l = v.u + o;
    const double *f = DIREITO ? v.f + o : nullptr, *ax = v.ax + o, *ay = v.ay + o, *ap = v.ap + o;
    const long i = cor_em_vetores<V, RELAXAR>(l, nx, (j + paridade) % 2 == 0, v.omega,
                                              [&](long coluna, vetor oeste, vetor leste) {
                                                  return valor_variavel<V, DIREITO>(l, f, ax, ay, ap, coluna, nx,
                                                                                    oeste, leste);
                                              });
    cor_variavel_linha(v, j, paridade, i);
}

template <class V>
void cor_variavel(const nivel_variavel& v, int j, int paridade) {
    const bool relaxar = v.omega != 1.0;
    const auto de = v.f == nullptr ? (relaxar ? cor_variavel_de<V, false, true> : cor_variavel_de<V, false, false>)
                                   : (relaxar ? cor_variavel_de<V, true, true> : cor_variavel_de<V, true, false>);
    de(v, j, paridade);
}

// Os valores novos da linha j em d, a partir das linhas j-1..j+1 de a (de antes da varredura).
template <class V, bool DIREITO, bool RELAXAR>
void jacobi_variavel_de(const nivel_variavel& v, const double* a, int j, double* d) {
    using vetor = typename V::vetor;
    const long nx = v.nx, o = (j - 1) * nx;
    const double* l = a + o;
    const double *f = DIREITO ? v.f + o : nullptr, *ax = v.ax + o, *ay = v.ay + o, *ap = v.ap + o;
    const long i = jacobi_em_vetores<V, RELAXAR>(l, d, nx, v.omega, [&](long coluna, vetor oeste, vetor leste) {
        return valor_variavel<V, DIREITO>(l, f, ax, ay, ap, coluna, nx, oeste, leste);
    });
    jacobi_variavel_linha(v, a, j, d, i);
}

template <class V>
void jacobi_variavel(const nivel_variavel& v, const double* a, int j, double* d) {
    const bool relaxar = v.omega != 1.0;
    const auto de = v.f == nullptr ? (relaxar ? jacobi_variavel_de<V, false, true> : jacobi_variavel_de<V, false, false>)
                                   : (relaxar ? jacobi_variavel_de<V, true, true> : jacobi_variavel_de<V, true, false>);
    de(v, a, j, d);
}

// Os coeficientes de nove pontos nos vetores: os nove números do nível difundidos uma vez, ou as nove grades do
// bloco lidas nas raias da coluna.
template <class V, bool POR_PONTO>
struct coeficientes_nove {
    using vetor = typename V::vetor;
    const double* bloco;
    long nxy, o;
    vetor k[9];
    coeficientes_nove(const nivel_nove& v, long linha) : bloco(v.bloco), nxy(long(v.nx) * v.ny), o(linha), k{} {
        if constexpr (!POR_PONTO)
            for (int g = 0; g < 9; ++g) k[g] = V::difundir(v.nove[g]);
    }
    vetor operator()(int g, long i) const {
        if constexpr (POR_PONTO) return V::carregar_solto(bloco + g * nxy + o + i);
        else return k[g];
    }
};

// (((c1 S + c7 N) + (c3 W + c5 E)) + ((c0 SW + c2 SE) + (c6 NW + c8 NE)) [+ f]) / c4 nas raias de l + i, com
// oeste e leste já montados.
template <class V, bool POR_PONTO, bool DIREITO>
typename V::vetor valor_nove(const coeficientes_nove<V, POR_PONTO>& c, const double* l, const double* f, long i,
                             long nx, typename V::vetor oeste, typename V::vetor leste) {
    using vetor = typename V::vetor;
    const vetor y = V::somar(V::multiplicar(c(1, i), V::carregar_solto(l + i - nx)),
                             V::multiplicar(c(7, i), V::carregar_solto(l + i + nx)));
    const vetor x = V::somar(V::multiplicar(c(3, i), oeste), V::multiplicar(c(5, i), leste));
    const vetor d = V::somar(V::somar(V::multiplicar(c(0, i), V::carregar_solto(l + i - nx - 1)),
                                      V::multiplicar(c(2, i), V::carregar_solto(l + i - nx + 1))),
                             V::somar(V::multiplicar(c(6, i), V::carregar_solto(l + i + nx - 1)),
                                      V::multiplicar(c(8, i), V::carregar_solto(l + i + nx + 1))));
    vetor s = V::somar(V::somar(y, x), d);
    if constexpr (DIREITO) s = V::somar(s, V::carregar_solto(f + i));
    return V::dividir(s, c(4, i));
}

// Uma cor da linha j com o operador de nove pontos, como cor_variavel_de: oeste, leste, sul e norte são da outra cor
// (não mudam nesta cor); as diagonais são da cor, a linha de baixo já nova e a de cima ainda antiga, como no laço
// simples, que faz as linhas da cor em ordem.
template <class V, bool POR_PONTO, bool DIREITO, bool RELAXAR>
void cor_nove_de(const nivel_nove& v, int j, int paridade) {
    using vetor = typename V::vetor;
    const long nx = v.nx, o = (j - 1) * nx;
    double* l = v.u + o;
    const double* f = DIREITO ? v.f + o : nullptr;
    const coeficientes_nove<V, POR_PONTO> c(v, o);
    const auto valor = [&](long i, vetor oeste, vetor leste) {
        return valor_nove<V, POR_PONTO, DIREITO>(c, l, f, i, nx, oeste, leste);
    };
    cor_nove_linha(v, j, paridade, cor_em_vetores<V, RELAXAR>(l, nx, (j + paridade) % 2 == 0, v.omega, valor));
}

// Jacobi com nove pontos: os valores novos da linha j em d, a partir das linhas j-1..j+1 de a.
template <class V, bool POR_PONTO, bool DIREITO, bool RELAXAR>
void jacobi_nove_de(const nivel_nove& v, const double* a, int j, double* d) {
    using vetor = typename V::vetor;
    const long nx = v.nx, o = (j - 1) * nx;
    const double* l = a + o;
    const double* f = DIREITO ? v.f + o : nullptr;
    const coeficientes_nove<V, POR_PONTO> c(v, o);
    const long i = jacobi_em_vetores<V, RELAXAR>(l, d, nx, v.omega, [&](long coluna, vetor oeste, vetor leste) {
        return valor_nove<V, POR_PONTO, DIREITO>(c, l, f, coluna, nx, oeste, leste);
    });
    jacobi_nove_linha(v, a, j, d, i);
}

// A instância de N (cor_nove_de ou jacobi_nove_de) para a forma do estêncil, o lado direito e o omega do nível.
template <template <bool, bool, bool> class N, class... A>
void instancia_nove(const nivel_nove& v, A... args) {
    const bool relaxar = v.omega != 1.0, direito = v.f != nullptr;
    if (v.bloco != nullptr) {
        if (direito) relaxar ? N<true, true, true>::rodar(v, args...) : N<true, true, false>::rodar(v, args...);
        else relaxar ? N<true, false, true>::rodar(v, args...) : N<true, false, false>::rodar(v, args...);
    } else {
        if (direito) relaxar ? N<false, true, true>::rodar(v, args...) : N<false, true, false>::rodar(v, args...);
        else relaxar ? N<false, false, true>::rodar(v, args...) : N<false, false, false>::rodar(v, args...);
    }
}

template <class V>
struct nucleos_nove {
    template <bool P, bool D, bool R>
    struct cor {
        static void rodar(const nivel_nove& v, int j, int paridade) { cor_nove_de<V, P, D, R>(v, j, paridade); }
    };
    template <bool P, bool D, bool R>
    struct jacobi {
        static void rodar(const nivel_nove& v, const double* a, int j, double* d) {
            jacobi_nove_de<V, P, D, R>(v, a, j, d);
        }
    };
};

template <class V>
void cor_nove(const nivel_nove& v, int j, int paridade) {
    instancia_nove<nucleos_nove<V>::template cor>(v, j, paridade);
}

template <class V>
void jacobi_nove(const nivel_nove& v, const double* a, int j, double* d) {
    instancia_nove<nucleos_nove<V>::template jacobi>(v, a, j, d);
}

} // namespace vetorial
