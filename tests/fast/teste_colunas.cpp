// Suavizadores de linhas nos núcleos rápidos contra o laço simples: line-x com até quatro varreduras em frente de
// onda (fast/linhas_x.cpp), line-y com as colunas em blocos (fast/colunas.cpp) e line-alt; os mesmos bits com e sem
// lado direito, qualquer eps, blocos incompletos, uma só linha ou coluna interna, menos linhas que a defasagem das
// varreduras; e a solução inteira.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {

struct grade_colunas {
    int nx, ny;
    double ae, an;
};

long primeira_diferenca_colunas(const std::vector<double>& a, const std::vector<double>& b) {
    for (std::size_t q = 0; q < a.size(); ++q)
        if (!mesmos_bits(a[q], b[q])) return static_cast<long>(q);
    return -1;
}

} // namespace

TEST(Colunas, LinhasIguaisAoLacoSimples) {
    std::mt19937_64 g(23);
    uniforme d(-1.0, 1.0);
    for (const grade_colunas& c : {grade_colunas{3, 3, 1, 1}, grade_colunas{2, 9, 1, 1}, grade_colunas{9, 2, 1, 1},
                                   grade_colunas{3, 12, 1, 1}, grade_colunas{12, 3, 1, 1},
                                   grade_colunas{10, 7, 0.01, 1},
                                   grade_colunas{11, 30, 7, 1}, grade_colunas{19, 17, 1, 0.3},
                                   grade_colunas{129, 65, 1, 1}, grade_colunas{300, 41, 1, 1}}) {
        const std::size_t n = static_cast<std::size_t>(c.nx) * c.ny + 1;
        std::vector<double> u0(n), f(n), rascunho(static_cast<std::size_t>(rascunho_linhas(c.nx, c.ny)));
        for (std::size_t q = 0; q < n; ++q) {
            u0[q] = d(g);
            f[q] = 1e3 * d(g);
        }
        const double ap = 2.0 * c.ae + 2.0 * c.an;
        for (bool direito : {false, true})
            for (int varreduras : {1, 2, 3, 5, 9})
                for (auto suavizar : {suavizar_linha_x, suavizar_linha_y, suavizar_linha_alt}) {
                    SCOPED_TRACE(std::to_string(c.nx) + "x" + std::to_string(c.ny) + ", lado direito " +
                                 std::to_string(direito) + ", varreduras " + std::to_string(varreduras) +
                                 (suavizar == suavizar_linha_x   ? ", line-x"
                                  : suavizar == suavizar_linha_y ? ", line-y"
                                                                 : ", line-alt"));
                    std::vector<double> ref = u0, u = u0;
                    vista_nivel v{.u = ref.data(), .f = direito ? f.data() : nullptr, .nx = c.nx, .ny = c.ny,
                                  .ae = c.ae, .an = c.an, .ap = ap};
                    suavizar(v, {.rascunho = rascunho.data()}, varreduras);
                    v.u = u.data();
                    equipe eq(1);
                    suavizar(v, {.eq = &eq, .rascunho = rascunho.data(), .rapidos = true}, varreduras);
                    EXPECT_TRUE(std::memcmp(u.data(), ref.data(), n * sizeof(double)) == 0)
                        << "primeira diferença em " << primeira_diferenca_colunas(u, ref);
                }
    }
}

// A solução inteira com os suavizadores de linhas nos núcleos rápidos em todo nível: os bits da de referência.
TEST(Colunas, SolucaoIgualAReferencia) {
    for (tipo_suavizador s : {tipo_suavizador::linha_x, tipo_suavizador::linha_y, tipo_suavizador::linha_alt})
        for (int nm : {1, 3}) {
            metodo_solver m;
            m.suavizador = s;
            m.eps = 0.2;
            const std::string texto = entrada(nm, nm == 1 ? 37 : 9, nm == 1 ? 21 : 7, "0.0", 3, 2, 2);
            estado_execucao ref = estado_de(texto), e = estado_de(texto);
            ajustes_solver lento;
            lento.rapidos = false;
            if (nm == 1) {
                resolver_malha_unica(ref, efetivo(ref, m), lento);
                resolver_malha_unica(e, efetivo(e, m), {});
            } else {
                resolver_multigrid(ref, efetivo(ref, m), lento);
                resolver_multigrid(e, efetivo(e, m), {});
            }
            EXPECT_EQ(e.niter, ref.niter);
            EXPECT_EQ(e.instrucoes, "scalar/off");
            for (long long it = 0; it <= ref.niter; ++it) EXPECT_TRUE(mesmos_bits(e.hist[it], ref.hist[it]));
            EXPECT_TRUE(mesmos_bits(e.T, ref.T));
            EXPECT_TRUE(mesmos_bits(e.cor, ref.cor));
        }
}
