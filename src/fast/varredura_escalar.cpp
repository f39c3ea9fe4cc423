// Núcleos de linha escalares da passada rápida: prolongação, restrição, parcelas da norma e varreduras com linhas
// em voo (a família escalar, e as bordas das famílias vetoriais).
#include <algorithm>
#include <cmath>

#include "fast/rapido.h"

namespace {

constexpr int linhas_escalar = 8; // linhas em voo
constexpr int atraso_escalar = 4; // colunas de atraso de cada linha em relação à de baixo

double* linha(const passada& p, int j) { return p.u + (j - 1) * static_cast<long>(p.nx); }

// O ponto grosso de i é I = (i-1)/2 + 1; o laço anda por I, com o par i = 2I (entre I e I+1) e i = 2I+1 (sobre
// I+1). ZERO: a correção do nível vale zero, escreve-se 0 + v (o mesmo bit de somar v a um zero guardado).
template <bool ZERO>
void prolongar(const passada& p, int j, int i0, int i1) {
    double* d = linha(p, j);
    const double* c = p.grossa + ((j - 1) / 2) * static_cast<long>(p.nxc); // c[I] = cor(I, J)
    const double* n = c + p.nxc;                                             // n[I] = cor(I, J+1)
    const bool coincide = j % 2 == 1;
    auto somar = [d](int i, double v) { d[i] = (ZERO ? 0.0 : d[i]) + v; };
    int i = i0;
    if (i <= i1 && i % 2 == 1) { // i = 2I-1
        const int I = (i + 1) / 2;
        somar(i, coincide ? c[I] : 0.5 * (c[I] + n[I]));
        ++i;
    }
    const int I0 = i / 2, I1 = (i1 - 1) / 2; // pares com 2I+1 <= i1
    if (coincide) {
        for (int I = I0; I <= I1; ++I) {
            somar(2 * I, 0.5 * (c[I] + c[I + 1]));
            somar(2 * I + 1, c[I + 1]);
        }
    } else {
        for (int I = I0; I <= I1; ++I) {
            somar(2 * I, 0.25 * (c[I] + c[I + 1] + n[I] + n[I + 1]));
            somar(2 * I + 1, 0.5 * (c[I + 1] + n[I + 1]));
        }
    }
    i = 2 * std::max(I0, I1 + 1);
    if (i <= i1) { // i = 2I, o último
        const int I = i / 2;
        somar(i, coincide ? 0.5 * (c[I] + c[I + 1]) : 0.25 * (c[I] + c[I + 1] + n[I] + n[I + 1]));
    }
}

// Passos [t0, t1) de um trecho, só as linhas que têm coluna em cada passo: a linha m vai de m0 (a que já passou do
// fim) a m1 (a última que começou). ZERADA: norte e leste valem zero.
template <bool DIREITO, bool ZERADA>
void bordas(const passada& p, const trecho& z, int atraso, int t0, int t1) {
    const long nx = p.nx, passo = nx - atraso;
    const double an = p.an, ae = p.ae, q = p.q;
    double* const base = p.u + (z.j0 - 1) * nx + z.i0; // linha m, coluna c: base[m*nx + c]
    const double* const fbase = DIREITO ? p.direito + (z.j0 - 1) * nx + z.i0 : nullptr;
    for (int t = t0; t < t1; ++t) {
        const int m0 = t >= z.w ? (t - z.w + atraso) / atraso : 0, m1 = std::min(z.nr - 1, t / atraso);
        for (int m = m0; m <= m1; ++m) {
            const long o = m * passo + t; // linha m, coluna t - atraso*m
            double* x = base + o;
            const double norte = ZERADA ? 0.0 : x[nx], leste = ZERADA ? 0.0 : x[1];
            double v = an * (x[-nx] + norte) + ae * (x[-1] + leste);
            if constexpr (DIREITO) v = v + fbase[o];
            x[0] = v * q;
        }
    }
}

// Passos [t0, t1) em que todas as NR linhas têm coluna: o oeste vem por registrador, com o mesmo valor que está
// na memória. O atraso por linha espalha as linhas da faixa por conjuntos diferentes da cache (com atraso 1 e
// nx-1 múltiplo de 512 cairiam todas no mesmo). Com SOMAR, cada passo soma também parcelas da fila da norma: a
// cadeia de adições da soma corre junto com as varreduras em vez de depois delas.
template <int NR, bool DIREITO, bool ZERADA, bool SOMAR>
void regime(passada& p, const trecho& z, int t0, int t1) {
    const int nx = p.nx;
    const double ae = p.ae, an = p.an, q = p.q;
    const int por_passo = p.fila.por_passo;
    long cheios = 0;
    const double* proxima = nullptr;
    double soma = 0.0;
    if constexpr (SOMAR) {
        cheios = std::min<long>(t1 - t0, p.fila.restantes / por_passo);
        proxima = p.fila.proxima;
        soma = p.fila.soma;
    }
    double* l[NR];
    const double* f[NR];
    double oeste[NR];
    for (int m = 0; m < NR; ++m) {
        const long o = (z.j0 + m - 1) * static_cast<long>(nx) + (z.i0 + t0 - atraso_escalar * m);
        l[m] = p.u + o;
        f[m] = DIREITO ? p.direito + o : nullptr;
        oeste[m] = l[m][-1];
    }
    for (int n = 0; n < t1 - t0; ++n) {
        // lados direitos lidos antes das escritas do passo: cor e res costumam distar um múltiplo de 4 KiB, e com
        // nx-1 múltiplo de 512 a leitura de res logo após a escrita da linha de cima seria tida por dependente dela
        double d[NR];
        if constexpr (DIREITO)
            for (int m = 0; m < NR; ++m) d[m] = f[m][n];
        if constexpr (SOMAR)
            if (n < cheios) {
                for (int k = 0; k < por_passo; ++k) soma = soma + proxima[k];
                proxima += por_passo;
            }
#pragma GCC unroll 8
        for (int m = NR - 1; m >= 0; --m) {
            double* x = l[m] + n;
            const double norte = ZERADA ? 0.0 : x[nx], leste = ZERADA ? 0.0 : x[1];
            double v = an * (x[-nx] + norte) + ae * (oeste[m] + leste);
            if constexpr (DIREITO) v = v + d[m];
            v = v * q;
            x[0] = v;
            oeste[m] = v;
        }
    }
    if constexpr (SOMAR) {
        p.fila.proxima = proxima;
        p.fila.restantes -= cheios * por_passo;
        p.fila.soma = soma;
    }
}

template <bool DIREITO, bool ZERADA, bool SOMAR>
void regime_de(passada& p, const trecho& z, int t0, int t1) {
    switch (z.nr) {
    case 1: regime<1, DIREITO, ZERADA, SOMAR>(p, z, t0, t1); break;
    case 2: regime<2, DIREITO, ZERADA, SOMAR>(p, z, t0, t1); break;
    case 3: regime<3, DIREITO, ZERADA, SOMAR>(p, z, t0, t1); break;
    case 4: regime<4, DIREITO, ZERADA, SOMAR>(p, z, t0, t1); break;
    case 5: regime<5, DIREITO, ZERADA, SOMAR>(p, z, t0, t1); break;
    case 6: regime<6, DIREITO, ZERADA, SOMAR>(p, z, t0, t1); break;
    case 7: regime<7, DIREITO, ZERADA, SOMAR>(p, z, t0, t1); break;
    default: regime<linhas_escalar, DIREITO, ZERADA, SOMAR>(p, z, t0, t1); break;
    }
}

// Um trecho de até 8 linhas: bordas, regime (atraso*(nr-1) <= t <= w-1), bordas.
void varrer_ate_oito(passada& p, const trecho& z) {
    const int nt = z.w + atraso_escalar * (z.nr - 1), a = atraso_escalar * (z.nr - 1), b = z.w;
    if (a >= b) {
        passos_bordas(p, z, atraso_escalar, 0, nt);
        return;
    }
    passos_bordas(p, z, atraso_escalar, 0, a);
    if (p.direito == nullptr) {
        if (z.somar && p.fila.restantes > 0) regime_de<false, false, true>(p, z, a, b);
        else regime_de<false, false, false>(p, z, a, b);
    } else {
        if (z.zerada) regime_de<true, true, false>(p, z, a, b);
        else regime_de<true, false, false>(p, z, a, b);
    }
    passos_bordas(p, z, atraso_escalar, b, nt);
}

// A família escalar não usa anel.
void parcelas_escalar(const passada& p, int j, double* d) { parcelas_linha(p, j, d); }

} // namespace

void prolongar_linha(const passada& p, int j, int i0, int i1) {
    if (p.pedido.zerar) prolongar<true>(p, j, i0, i1);
    else prolongar<false>(p, j, i0, i1);
}

void restringir_linha(const passada& p, int j) {
    const int nx = p.nx, nxc = p.nxc;
    const double ae = p.ae, an = p.an, ap = p.ap;
    const double* t = linha(p, j);
    double* d = p.direito_grosso + ((j - 1) / 2) * static_cast<long>(nxc);
    if (p.direito == nullptr) {
        for (int I = 2; I <= nxc - 1; ++I) {
            const int P = 2 * I - 1;
            d[I] = ae * (t[P - 1] + t[P + 1]) + an * (t[P - nx] + t[P + nx]) - ap * t[P];
        }
    } else {
        const double* f = p.direito + (j - 1) * static_cast<long>(nx);
        for (int I = 2; I <= nxc - 1; ++I) {
            const int P = 2 * I - 1;
            d[I] = f[P] + ae * (t[P - 1] + t[P + 1]) + an * (t[P - nx] + t[P + nx]) - ap * t[P];
        }
    }
}

// r = ae*(W + E); com lado direito r = f + r; depois r + an*(S + N) - ap*T(P), da esquerda para a direita.
void residuos_linha(const passada& p, int j, double* r) {
    const int nx = p.nx;
    const double ae = p.ae, an = p.an, ap = p.ap;
    const double* l = linha(p, j);
    if (p.direito == nullptr) {
        for (int i = 2; i <= nx - 1; ++i) r[i] = ae * (l[i - 1] + l[i + 1]) + an * (l[i - nx] + l[i + nx]) - ap * l[i];
        return;
    }
    const double* f = p.direito + (j - 1) * static_cast<long>(nx);
    for (int i = 2; i <= nx - 1; ++i)
        r[i] = f[i] + ae * (l[i - 1] + l[i + 1]) + an * (l[i - nx] + l[i + nx]) - ap * l[i];
}

// A norma só é pedida no nível mais fino: lá um lado direito é o termo fonte, subtraído por último.
double somar_linha(const passada& p, int j, double s) {
    const int nx = p.nx;
    const double ae = p.ae, an = p.an, ap = p.ap;
    const double* l = linha(p, j);
    if (p.direito == nullptr) {
        for (int i = 2; i <= nx - 1; ++i)
            s = s + std::fabs((ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1]));
        return s;
    }
    const double* f = p.direito + (j - 1) * static_cast<long>(nx);
    for (int i = 2; i <= nx - 1; ++i)
        s = s + std::fabs(((ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1])) - f[i]);
    return s;
}

void parcelas_linha(const passada& p, int j, double* d) {
    const int nx = p.nx;
    const double ae = p.ae, an = p.an, ap = p.ap;
    const double* l = linha(p, j);
    if (p.direito == nullptr) {
        for (int i = 2; i <= nx - 1; ++i)
            d[i - 2] = std::fabs((ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1]));
        return;
    }
    const double* f = p.direito + (j - 1) * static_cast<long>(nx);
    for (int i = 2; i <= nx - 1; ++i)
        d[i - 2] = std::fabs(((ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1])) - f[i]);
}

void esvaziar_fila(fila_norma& f) {
    double s = f.soma;
    for (long m = 0; m < f.restantes; ++m) s = s + f.proxima[m];
    f.soma = s;
    f.proxima += f.restantes;
    f.restantes = 0;
}

void passos_bordas(const passada& p, const trecho& z, int atraso, int t0, int t1) {
    if (p.direito == nullptr) bordas<false, false>(p, z, atraso, t0, t1);
    else if (z.zerada) bordas<true, true>(p, z, atraso, t0, t1);
    else bordas<true, false>(p, z, atraso, t0, t1);
}

// Faixas de mais de 8 linhas (as das famílias vetoriais, quando não cabem no regime vetorial) em pedaços de 8,
// um depois do outro: é a mesma ordem de faixas da varredura.
void varrer_escalar(passada& p, const trecho& z, double* /*anel*/) {
    for (int m = 0; m < z.nr; m += linhas_escalar)
        varrer_ate_oito(p, {z.j0 + m, std::min(linhas_escalar, z.nr - m), z.i0, z.w, z.zerada, z.somar});
}

const familia_varredura familia_escalar{
    linhas_escalar, false, varrer_escalar, parcelas_escalar, prolongar_linha, residuos_linha, cor_linha, jacobi_linha,
    [](const nivel_variavel& v, int j, int paridade) { cor_variavel_linha(v, j, paridade, 2); },
    [](const nivel_variavel& v, const double* a, int j, double* d) { jacobi_variavel_linha(v, a, j, d, 2); },
    [](const nivel_nove& v, int j, int paridade) { cor_nove_linha(v, j, paridade, 2); },
    [](const nivel_nove& v, const double* a, int j, double* d) { jacobi_nove_linha(v, a, j, d, 2); }};
