// Varredura vetorial de uma faixa, comum ao AVX2 e ao AVX-512: incluído por linhas_avx2.cpp e linhas_avx512.cpp
// dentro da região de instruções de cada um; V é o conjunto (largura, carga, soma, rotação, transposições).
//
// Raias = linhas vizinhas da faixa: a linha m (0..R-1) faz no passo t a coluna t - A*m (A = p.atraso). O anel
// guarda por passo as raias lado a lado: x(t)[m] = linha m na coluna t - A*m (e a linha de cima da faixa na raia
// R). No passo t, a raia m lê: oeste = sua saída do passo t-1, em registrador; sul = x(t-A)[m-1], a saída da raia
// de baixo A passos antes (carga alinhada do vetor guardado e rotação de uma raia; a raia 0 lê a linha de baixo
// da faixa na memória); norte = x(t+A)[m+1] e leste = x(t+1)[m], entradas ainda antigas. As linhas da faixa
// entram no anel transpostas ao menos um bloco de passos antes do uso (a carga desalinhada do norte não espera
// escritas recentes) e as saídas voltam delas para as linhas.
#pragma once

#include <algorithm>

#include "fast/rapido.h"

namespace vetorial {

// Passos [t0, t1) de um trecho de R = V::largura*G linhas, todas com coluna em cada passo. O anel precisa dos
// passos t0-A .. t1+A, em blocos de L; para que nenhuma transposição leia fora das colunas 0..w da fatia (as de
// fora são de outra thread): t0 = teto(A/L)*L + A*(R-1), e t1 - t0 múltiplo de L com t1 <= w - A - L + 1.
template <class V, int G, bool DIREITO, bool ZERADA, bool SOMAR>
void regime(passada& p, const trecho& z, int t0, int t1, double* anel) {
    using vetor = typename V::vetor;
    constexpr int L = V::largura, R = L * G, SX = R + L, NA = passos_anel, M = NA - 1;
    const int A = p.atraso;
    const int D = (A + 2 * L - 1) / L * L; // o bloco enchido fica D passos à frente do calculado
    const long nx = p.nx, passo_linha = nx - A;
    double* const linha0 = p.u + (z.j0 - 1) * nx + z.i0; // linha m, coluna c: linha0[m*nx + c]
    const double* const sul = linha0 - nx;
    const double* const norte = linha0 + R * nx;
    const double* const dir0 = DIREITO ? p.direito + (z.j0 - 1) * nx + z.i0 : nullptr;
    // anel: casa(t) = passo t, raias 0..R-1 e a linha de cima da faixa na raia R; blocos de L passos em casas
    // múltiplas de L; o lado direito transposto (F) com a mesma disposição
    double* const X = anel;
    double* const F = anel + NA * SX;
    const int base = t0 - (A + L - 1) / L * L;
    auto casa = [base](int t) { return static_cast<long>((t - base) & M) * SX; };
    const vetor an = V::difundir(p.an), ae = V::difundir(p.ae), q = V::difundir(p.q);

    // bloco [s, s+L): linhas da faixa (transpostas, ou zeros como entradas de uma correção zerada) e a de cima
    enum class origem { linhas, zeros };
    const origem entradas = ZERADA ? origem::zeros : origem::linhas;
    auto encher = [&](int s, origem o) {
        for (int g = 0; g < G; ++g) {
            double* destino = X + casa(s) + g * L;
            if (o == origem::zeros) V::zerar_bloco(destino, SX);
            else V::transpor_entrada(linha0 + g * L * passo_linha + s, passo_linha, destino, SX);
        }
        for (int t = s; t < s + L; ++t)
            if (t >= t0 + A && t < t1 + A) X[casa(t) + R] = ZERADA ? 0.0 : norte[t - A * R];
    };
    // saídas das bordas (os A passos antes de t0 dão sul e oeste), depois as entradas até D passos à frente
    for (int s = t0 - (A + L - 1) / L * L; s < t0; s += L) encher(s, origem::linhas);
    for (int s = t0; s < t0 + D && s <= t1 + A; s += L) encher(s, entradas);
    vetor oeste[G];
    for (int g = 0; g < G; ++g) oeste[g] = V::carregar(X + casa(t0 - 1) + g * L);
    const int por_passo = p.fila.por_passo;
    long cheios = 0;
    const double* proxima = p.fila.proxima;
    double soma = p.fila.soma;
    if constexpr (SOMAR) cheios = std::min<long>(t1 - t0, p.fila.restantes / por_passo);
    for (int s = t0; s < t1; s += L) {
        if (s + D <= t1 + A) encher(s + D, entradas);
        if constexpr (DIREITO)
            for (int g = 0; g < G; ++g)
                V::transpor_entrada(dir0 + g * L * passo_linha + s, passo_linha, F + casa(s) + g * L, SX);
        for (int t = s; t < s + L; ++t) {
            if constexpr (SOMAR)
                if (t - t0 < cheios) {
                    for (int k = 0; k < por_passo; ++k) soma = soma + proxima[k];
                    proxima += por_passo;
                }
            const double* xs = X + casa(t - A);
            const double* xn = X + casa(t + A) + 1;
            const double* xe = X + casa(t + 1);
            double* xt = X + casa(t);
            vetor preparado[G];
            for (int g = 0; g < G; ++g) preparado[g] = V::preparar(V::carregar(xs + g * L));
            const vetor abaixo = V::difundir(sul[t]);
            for (int g = 0; g < G; ++g) {
                const int o = g * L;
                const vetor S = V::juntar(preparado[g], g == 0 ? abaixo : preparado[g - 1]);
                const vetor N = V::carregar_solto(xn + o), E = V::carregar(xe + o);
                // (an*(S+N) + ae*(W+E)) [+ f], depois * (1/ap): a conta do núcleo de referência, raia a raia
                vetor v = V::somar(V::multiplicar(an, V::somar(S, N)), V::multiplicar(ae, V::somar(oeste[g], E)));
                if constexpr (DIREITO) v = V::somar(v, V::carregar(F + casa(t) + o));
                v = V::multiplicar(v, q);
                V::guardar(xt + o, v);
                oeste[g] = v;
            }
        }
        for (int g = 0; g < G; ++g)
            V::transpor_saida(X + casa(s) + g * L, SX, linha0 + g * L * passo_linha + s, passo_linha);
    }
    if constexpr (SOMAR) {
        p.fila.proxima = proxima;
        p.fila.restantes -= cheios * por_passo;
        p.fila.soma = soma;
    }
}

// Um trecho inteiro: bordas ponto a ponto, regime vetorial, bordas; faixas incompletas ou estreitas demais para o
// regime vão para a família escalar.
template <class V, int G>
void varrer(passada& p, const trecho& z, double* anel) {
    constexpr int L = V::largura, R = L * G;
    const int A = p.atraso, t0 = (A + L - 1) / L * L + A * (R - 1);
    const int t1 = t0 + std::max(0, (z.w - A - L + 1 - t0) / L) * L;
    if (z.nr != R || t1 <= t0) {
        varrer_escalar(p, z, anel);
        return;
    }
    passos_bordas(p, z, A, 0, t0);
    const bool fila = z.somar && p.fila.restantes > 0;
    if (p.direito == nullptr) {
        if (fila) regime<V, G, false, false, true>(p, z, t0, t1, anel);
        else regime<V, G, false, false, false>(p, z, t0, t1, anel);
    } else {
        if (z.zerada) regime<V, G, true, true, false>(p, z, t0, t1, anel);
        else regime<V, G, true, false, false>(p, z, t0, t1, anel);
    }
    passos_bordas(p, z, A, t1, z.w + A * (R - 1));
}

// Prolongação na linha j, colunas i0..i1, em vetores: para L pontos grossos I de uma vez, o valor das colunas
// pares 2I (A) e o das ímpares 2I+1 (B) com as contas de prolongar, intercalados na ordem das colunas e somados
// ao destino (ou a 0.0 numa correção zerada); as pontas ficam com a versão escalar.
template <class V>
void prolongar(const passada& p, int j, int i0, int i1) {
    using vetor = typename V::vetor;
    constexpr int L = V::largura;
    int I0 = (i0 + 1) / 2, I1 = (i1 - 1) / 2; // pares (2I, 2I+1) dentro de i0..i1
    if (I1 - I0 + 1 < L) {
        prolongar_linha(p, j, i0, i1);
        return;
    }
    if (i0 < 2 * I0) prolongar_linha(p, j, i0, i0); // coluna ímpar no começo
    double* d = p.u + (j - 1) * static_cast<long>(p.nx);
    const double* c = p.grossa + ((j - 1) / 2) * static_cast<long>(p.nxc);
    const double* n = c + p.nxc;
    const bool coincide = j % 2 == 1, zero = p.pedido.zerar;
    const vetor meio = V::difundir(0.5), quarto = V::difundir(0.25), nada = V::difundir(0.0);
    int I = I0;
    for (; I + L - 1 <= I1; I += L) {
        const vetor cI = V::carregar_solto(c + I), cI1 = V::carregar_solto(c + I + 1);
        vetor a, b;
        if (coincide) {
            a = V::multiplicar(meio, V::somar(cI, cI1));
            b = cI1;
        } else {
            const vetor nI = V::carregar_solto(n + I), nI1 = V::carregar_solto(n + I + 1);
            a = V::multiplicar(quarto, V::somar(V::somar(V::somar(cI, cI1), nI), nI1));
            b = V::multiplicar(meio, V::somar(cI1, nI1));
        }
        vetor primeiro, segundo;
        V::intercalar(a, b, primeiro, segundo);
        double* x = d + 2 * I;
        V::guardar_solto(x, V::somar(zero ? nada : V::carregar_solto(x), primeiro));
        V::guardar_solto(x + L, V::somar(zero ? nada : V::carregar_solto(x + L), segundo));
    }
    if (2 * I <= i1) prolongar_linha(p, j, 2 * I, i1);
}

// Parcelas |(ap*T(P) - an*(S+N)) - ae*(W+E)| da linha j (menos o termo fonte, por último, quando há um), ponto a
// ponto em vetores; o resto escalar.
template <class V, bool FONTE>
void parcelas_de(const passada& p, int j, double* d) {
    using vetor = typename V::vetor;
    constexpr int L = V::largura;
    const long nx = p.nx;
    const double* l = p.u + (j - 1) * nx;
    const double* f = FONTE ? p.direito + (j - 1) * nx : nullptr;
    const vetor ae = V::difundir(p.ae), an = V::difundir(p.an), ap = V::difundir(p.ap);
    int i = 2;
    for (; i + L - 1 <= nx - 1; i += L) {
        const vetor centro = V::multiplicar(ap, V::carregar_solto(l + i));
        const vetor y = V::multiplicar(an, V::somar(V::carregar_solto(l + i - nx), V::carregar_solto(l + i + nx)));
        const vetor x = V::multiplicar(ae, V::somar(V::carregar_solto(l + i - 1), V::carregar_solto(l + i + 1)));
        vetor a = V::subtrair(V::subtrair(centro, y), x);
        if constexpr (FONTE) a = V::subtrair(a, V::carregar_solto(f + i));
        V::guardar_solto(d + i - 2, V::absoluto(a));
    }
    for (; i <= nx - 1; ++i) {
        double a = (p.ap * l[i] - p.an * (l[i - nx] + l[i + nx])) - p.ae * (l[i - 1] + l[i + 1]);
        if constexpr (FONTE) a = a - f[i];
        d[i - 2] = __builtin_fabs(a);
    }
}

template <class V>
void parcelas(const passada& p, int j, double* d) {
    if (p.direito == nullptr) parcelas_de<V, false>(p, j, d);
    else parcelas_de<V, true>(p, j, d);
}

// Resíduos da linha j em r[2..nx-1], ponto a ponto em vetores: ae*(W+E), somado ao lado direito quando há um
// (f + isso), depois + an*(S+N) - ap*T(P), como residuos_linha; o resto escalar.
template <class V, bool DIREITO>
void residuos_de(const passada& p, int j, double* r) {
    using vetor = typename V::vetor;
    constexpr int L = V::largura;
    const long nx = p.nx;
    const double* l = p.u + (j - 1) * nx;
    const double* f = DIREITO ? p.direito + (j - 1) * nx : nullptr;
    const vetor ae = V::difundir(p.ae), an = V::difundir(p.an), ap = V::difundir(p.ap);
    int i = 2;
    for (; i + L - 1 <= nx - 1; i += L) {
        vetor a = V::multiplicar(ae, V::somar(V::carregar_solto(l + i - 1), V::carregar_solto(l + i + 1)));
        if constexpr (DIREITO) a = V::somar(V::carregar_solto(f + i), a);
        const vetor y = V::multiplicar(an, V::somar(V::carregar_solto(l + i - nx), V::carregar_solto(l + i + nx)));
        a = V::subtrair(V::somar(a, y), V::multiplicar(ap, V::carregar_solto(l + i)));
        V::guardar_solto(r + i, a);
    }
    for (; i <= nx - 1; ++i) {
        double a = p.ae * (l[i - 1] + l[i + 1]);
        if constexpr (DIREITO) a = f[i] + a;
        r[i] = a + p.an * (l[i - nx] + l[i + nx]) - p.ap * l[i];
    }
}

template <class V>
void residuos(const passada& p, int j, double* r) {
    if (p.direito == nullptr) residuos_de<V, false>(p, j, r);
    else residuos_de<V, true>(p, j, r);
}

} // namespace vetorial
