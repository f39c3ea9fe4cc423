// Solução direta do nível 1 (Cholesky em banda): à mão, contra Gauss-Seidel convergido e dentro do ciclo.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {


std::vector<double> historico(int grosso, bool exato, tipo_ciclo c) {
    metodo_solver m;
    m.grosso = grosso;
    m.grosso_exato = exato;
    m.ciclo = c;
    estado_execucao e = estado_de(entrada(3, 9, 7, "0", 4, 1, 2));
    resolver_multigrid(e, efetivo(e, m));
    return e.hist;
}

} // namespace

// Nível 1 exato: 3 x 3 à mão (vizinhos de contorno no lado direito); grades maiores contra Gauss-Seidel convergido,
// nas duas numerações (X ou Y mais rápido), com contorno não nulo.
TEST(Direto, ContraGaussSeidelConvergido) {
    {
        std::vector<double> u{0, 1, 2, 3, 4, 0, 6, 7, 8, 9}, f(10, 0.0);
        f[5] = 5.0;
        const vista_nivel v = vista_de(u, &f, 3, 3);
        fator_banda fb;
        fatorar_nivel_grosso(fb, v);
        resolver_nivel_grosso(fb, v);
        EXPECT_NEAR(u[5], (5.0 + 4.0 * (4 + 6) + 4.0 * (2 + 8)) / 16.0, 1e-15);
    }
    for (auto [nx, ny] : {std::pair{9, 6}, std::pair{6, 9}, std::pair{12, 12}, std::pair{3, 8}, std::pair{8, 3}}) {
        std::mt19937_64 g(nx * 100 + ny);
        uniforme d(-1, 1);
        std::vector<double> u(nx * ny + 1), f(nx * ny + 1);
        for (int p = 1; p <= nx * ny; ++p) {
            u[p] = d(g);
            f[p] = 50 * d(g);
        }
        std::vector<double> gs = u;
        const vista_nivel v = vista_de(u, &f, nx, ny);
        fator_banda fb;
        fatorar_nivel_grosso(fb, v);
        EXPECT_EQ(fb.b, std::min(nx, ny) - 2);
        resolver_nivel_grosso(fb, v);
        suavizar_gs_lex(vista_de(gs, &f, nx, ny), {}, 4000);
        double maior = 0.0;
        for (double x : gs) maior = std::max(maior, std::fabs(x));
        for (int p = 1; p <= nx * ny; ++p) EXPECT_NEAR(u[p], gs[p], 1e-12 * maior) << nx << "x" << ny << " P = " << p;
    }
    // sem incógnitas: nada a fatorar, nada muda
    std::vector<double> u(9, 1.0);
    fator_banda fb;
    fatorar_nivel_grosso(fb, vista_de(u, nullptr, 2, 4));
    resolver_nivel_grosso(fb, vista_de(u, nullptr, 2, 4));
    EXPECT_EQ(u, std::vector<double>(9, 1.0));
    EXPECT_EQ(bytes_fator_banda(2, 4), 0);
    EXPECT_EQ(bytes_fator_banda(9, 6), 8 * (28 * 5 + 28));
}

// O nível 1 resolvido exatamente dá o mesmo histórico que muitas varreduras nele (até a tolerância dita).
TEST(Direto, NivelExatoComoVarredurasConvergidas) {
    for (tipo_ciclo c : {tipo_ciclo::V, tipo_ciclo::W}) {
        const std::vector<double> a = historico(0, true, c), b = historico(3000, false, c);
        for (int it = 0; it <= 4; ++it) EXPECT_NEAR(a[it], b[it], 1e-10 * b[it]) << "it " << it;
    }
}

// O número de produtos do fator, que a estimativa de tempo usa: a fórmula fechada contra a contagem do laço.
TEST(Direto, OperacoesDoFator) {
    for (const auto& [nx, ny] : {std::pair{3, 3}, {7, 5}, {6, 11}, {12, 12}, {2, 9}, {40, 9}}) {
        const long mx = std::max(nx - 2, 0), my = std::max(ny - 2, 0), n = mx * my, b = std::min(mx, my);
        double contagem = 0.0;
        for (long r = 0; r < n; ++r)
            for (long c = std::max(0L, r - b); c <= r; ++c) contagem += static_cast<double>(c - std::max(std::max(0L, r - b), c - b));
        EXPECT_EQ(operacoes_fator_banda(nx, ny), contagem) << nx << " x " << ny;
    }
    EXPECT_NEAR(operacoes_fator_banda(402, 402) / (0.5 * 400.0 * 400.0 * 400.0 * 400.0), 1.0, 0.01);
    EXPECT_EQ(segundos_fator_banda(50, 50), 0.0); // pequeno: nem se mede
}
