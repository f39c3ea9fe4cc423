// Suavizadores pontuais: Gauss-Seidel lexicográfico (SOR com omega != 1), simétrico, vermelho-preto e Jacobi.
//
// Valor de Gauss-Seidel no ponto P: v = (an*(S+N) + ae*(W+E) [+ f(P)]) * q, q = 1/ap, f só na correção.
// Atualização: omega == 1: u(P) = v; senão u(P) = u(P) + omega*(v - u(P)). Lado direito e omega escolhem uma
// instância de cada laço antes de ele começar. No vermelho-preto um ponto de uma cor só lê pontos da outra, e no
// Jacobi só valores anteriores à varredura: cada ponto tem os mesmos operandos em qualquer divisão das linhas entre
// as threads, e o resultado não depende delas.
#include <algorithm>
#include <cstring>

#include "solver/solver.h"

namespace {

// pontos internos a partir dos quais gs-rb e jacobi dividem as linhas entre as threads
constexpr long MINIMO_THREADS = 1L << 16;

template <bool DIREITO>
inline double valor(const double* a, const double* f, long P, long nx, double ae, double an, double q) {
    double s = an * (a[P - nx] + a[P + nx]) + ae * (a[P - 1] + a[P + 1]);
    if constexpr (DIREITO) s = s + f[P];
    return s * q;
}

template <bool RELAXAR>
inline double atualizado(double u, double v, double omega) {
    if constexpr (RELAXAR) return u + omega * (v - u);
    else return v;
}

// Uma varredura lexicográfica, para frente (j e i crescentes) ou para trás.
template <bool DIREITO, bool RELAXAR, bool FRENTE>
void lexicografica(const vista_nivel& v, double omega) {
    const long nx = v.nx;
    const int ny = v.ny;
    const double ae = v.ae, an = v.an, q = 1.0 / v.ap;
    double* u = v.u;
    const double* f = v.f;
    for (int jj = 2; jj <= ny - 1; ++jj) {
        const int j = FRENTE ? jj : ny + 1 - jj;
        for (long ii = 2; ii <= nx - 1; ++ii) {
            const long i = FRENTE ? ii : nx + 1 - ii;
            const long P = i + (j - 1) * nx;
            u[P] = atualizado<RELAXAR>(u[P], valor<DIREITO>(u, f, P, nx, ae, an, q), omega);
        }
    }
}

template <bool DIREITO, bool RELAXAR>
void gs_lex(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    for (int s = 0; s < varreduras; ++s) lexicografica<DIREITO, RELAXAR, true>(v, m.omega);
}

template <bool DIREITO, bool RELAXAR>
void gs_sym(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    for (int s = 0; s < varreduras; ++s) {
        lexicografica<DIREITO, RELAXAR, true>(v, m.omega);
        lexicografica<DIREITO, RELAXAR, false>(v, m.omega);
    }
}

// faixa(j0, j1) sobre as linhas primeira..ultima, divididas em faixas contíguas entre as threads da equipe quando o
// nível é grande (o lambda leva um só ponteiro: std::function sem alocação).
template <class F>
void em_faixas(const meios_suavizacao& m, const vista_nivel& v, int primeira, int ultima, const F& faixa) {
    const int linhas = ultima - primeira + 1;
    const long pontos = static_cast<long>(v.nx - 2) * (v.ny - 2);
    const int n = m.eq != nullptr && pontos >= MINIMO_THREADS ? std::min(m.eq->tamanho(), linhas) : 1;
    if (n <= 1) {
        faixa(primeira, ultima);
        return;
    }
    struct divisao {
        const F* faixa;
        int primeira, linhas, n;
    } d{&faixa, primeira, linhas, n};
    m.eq->executar(n, [&d](int h) {
        const int j0 = d.primeira + static_cast<int>(static_cast<long>(d.linhas) * h / d.n);
        const int j1 = d.primeira + static_cast<int>(static_cast<long>(d.linhas) * (h + 1) / d.n) - 1;
        (*d.faixa)(j0, j1);
    });
}

// Os pontos de uma cor (i + j par: vermelhos; ímpar: pretos) das linhas j0..j1.
template <bool DIREITO, bool RELAXAR>
void cor_rb(const vista_nivel& v, double omega, int paridade, int j0, int j1) {
    const long nx = v.nx;
    const double ae = v.ae, an = v.an, q = 1.0 / v.ap;
    double* u = v.u;
    const double* f = v.f;
    for (int j = j0; j <= j1; ++j)
        for (long i = 2 + (j + paridade) % 2; i <= nx - 1; i += 2) {
            const long P = i + (j - 1) * nx;
            u[P] = atualizado<RELAXAR>(u[P], valor<DIREITO>(u, f, P, nx, ae, an, q), omega);
        }
}

template <bool DIREITO, bool RELAXAR>
void gs_rb(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2) return;
    for (int s = 0; s < varreduras; ++s)
        for (int paridade = 0; paridade <= 1; ++paridade)
            em_faixas(m, v, 2, v.ny - 1,
                      [&](int j0, int j1) { cor_rb<DIREITO, RELAXAR>(v, m.omega, paridade, j0, j1); });
}

// Jacobi: o nível copiado para o rascunho, depois cada ponto a partir da cópia.
template <bool DIREITO, bool RELAXAR>
void jacobi(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2) return;
    const long nx = v.nx;
    const double ae = v.ae, an = v.an, q = 1.0 / v.ap, omega = m.omega;
    double* u = v.u;
    const double* f = v.f;
    double* a = m.rascunho;
    for (int s = 0; s < varreduras; ++s) {
        em_faixas(m, v, 1, v.ny, [&](int j0, int j1) {
            std::memcpy(a + 1 + (j0 - 1) * nx, u + 1 + (j0 - 1) * nx, sizeof(double) * nx * (j1 - j0 + 1));
        });
        em_faixas(m, v, 2, v.ny - 1, [&](int j0, int j1) {
            for (int j = j0; j <= j1; ++j)
                for (long i = 2; i <= nx - 1; ++i) {
                    const long P = i + (j - 1) * nx;
                    u[P] = atualizado<RELAXAR>(a[P], valor<DIREITO>(a, f, P, nx, ae, an, q), omega);
                }
        });
    }
}

// A instância para o lado direito (correção ou T) e o omega do nível, escolhida antes dos laços.
suavizador instancia(const vista_nivel& v, const meios_suavizacao& m, suavizador direito_relaxado,
                     suavizador direito, suavizador relaxado, suavizador puro) {
    if (v.f != nullptr) return m.omega != 1.0 ? direito_relaxado : direito;
    return m.omega != 1.0 ? relaxado : puro;
}

} // namespace

void suavizar_gs_lex(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    instancia(v, m, gs_lex<true, true>, gs_lex<true, false>, gs_lex<false, true>, gs_lex<false, false>)(v, m,
                                                                                                     varreduras);
}

void suavizar_gs_sym(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    instancia(v, m, gs_sym<true, true>, gs_sym<true, false>, gs_sym<false, true>, gs_sym<false, false>)(v, m,
                                                                                                     varreduras);
}

void suavizar_gs_rb(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    instancia(v, m, gs_rb<true, true>, gs_rb<true, false>, gs_rb<false, true>, gs_rb<false, false>)(v, m,
                                                                                                 varreduras);
}

void suavizar_jacobi(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    instancia(v, m, jacobi<true, true>, jacobi<true, false>, jacobi<false, true>, jacobi<false, false>)(v, m,
                                                                                                     varreduras);
}
