// A LFA da correção grossa robusta: o símbolo do estêncil de Galerkin, o fator de dois níveis contra o medido numa
// rodada de dois níveis (nível 1 resolvido), e a anisotropia que só o semiengrossamento e as linhas aguentam.
#include <cmath>

#include <gtest/gtest.h>

#include "analysis/analise.h"
#include "auxiliar.h"

namespace {

pedido_lfa pedido(tipo_suavizador s, tipo_operador_grosso o, tipo_interpolacao i, tipo_restricao r,
                  tipo_engrossamento g, double eps = 1.0) {
    pedido_lfa p;
    p.ae = eps;
    p.an = 1.0;
    p.suavizador = s;
    p.operador_grosso = o;
    p.interpolacao = i;
    p.restricao = r;
    p.engrossamento = g;
    p.pontos = 32;
    return p;
}

// O fator medido de uma rodada de dois níveis (65 x 65, nível 1 resolvido, início ao acaso) com o método m.
double medido(const metodo_solver& m) {
    estado_execucao e = estado_de(entrada(2, 33, 33, "1e-11", 40, 1, 2));
    const metodo_efetivo me = efetivo(e, m);
    resolver_multigrid(e, me);
    return ajustar_taxa_assintotica(std::span<const double>(e.hist.data(), static_cast<std::size_t>(e.niter) + 1))
        .q_assintotico;
}

} // namespace

// O símbolo do estêncil de Galerkin do laplaciano (ponderação completa, bilinear) é o do estêncil de nove pontos
// conhecido: (1/(4 H^2)) (12 - 4 cos t1 - 4 cos t2 - 4 cos t1 cos t2), aqui com h = 1 (ae = an = 1, H = 2).
TEST(AnaliseRobusta, SimboloDoEstencilDeGalerkin) {
    const pedido_lfa p = pedido(tipo_suavizador::gs_lex, tipo_operador_grosso::galerkin, tipo_interpolacao::bilinear,
                                tipo_restricao::completa, tipo_engrossamento::completo);
    const estencil9 g = estencil_grosso_da_lfa(p, pesos_da_lfa(p));
    for (auto [t1, t2] : {std::pair{0.3, -1.1}, {2.0, 0.7}, {-3.0, 3.0}, {0.01, 0.02}}) {
        const complexo s = simbolo_estencil(g, t1, t2);
        const double esperado = (12.0 - 4.0 * std::cos(t1) - 4.0 * std::cos(t2) - 4.0 * std::cos(t1) * std::cos(t2)) / 16.0;
        EXPECT_NEAR(s.real(), esperado, 1e-14) << t1 << " " << t2;
        EXPECT_NEAR(s.imag(), 0.0, 1e-14);
    }
    // com o laplaciano a interpolação pelo operador é a bilinear, e a transposta dela a ponderação completa
    const pedido_lfa q = pedido(tipo_suavizador::gs_lex, tipo_operador_grosso::galerkin, tipo_interpolacao::operador,
                                tipo_restricao::transposta, tipo_engrossamento::completo);
    EXPECT_NEAR(analisar_lfa(q).rho, analisar_lfa(p).rho, 1e-12);
}

// rho da LFA ao lado do fator medido de dois níveis (a grade finita fica um pouco abaixo: os contornos ajudam):
// Galerkin, a interpolação pelo operador com a transposta, e os dois semiengrossamentos.
TEST(AnaliseRobusta, DoisNiveisContraAMedida) {
    struct caso {
        tipo_suavizador s;
        tipo_operador_grosso o;
        tipo_interpolacao i;
        tipo_restricao r;
        tipo_engrossamento g;
        double eps;
    };
    using S = tipo_suavizador;
    for (const caso& c : {caso{S::gs_lex, tipo_operador_grosso::galerkin, tipo_interpolacao::bilinear,
                               tipo_restricao::completa, tipo_engrossamento::completo, 1.0},
                          caso{S::gs_rb, tipo_operador_grosso::galerkin, tipo_interpolacao::operador,
                               tipo_restricao::transposta, tipo_engrossamento::completo, 0.5},
                          caso{S::linha_y, tipo_operador_grosso::rediscretizado, tipo_interpolacao::bilinear,
                               tipo_restricao::completa, tipo_engrossamento::x, 1.0},
                          caso{S::gs_lex, tipo_operador_grosso::galerkin, tipo_interpolacao::bilinear,
                               tipo_restricao::transposta, tipo_engrossamento::y, 0.01}}) {
        metodo_solver m;
        m.suavizador = c.s;
        m.operador_grosso = c.o;
        m.interpolacao = c.i;
        m.restricao = c.r;
        m.engrossamento = c.g;
        m.eps = c.eps;
        m.grosso_exato = true;
        m.inicio = tipo_inicio::aleatorio;
        pedido_lfa p = pedido(c.s, c.o, c.i, c.r, c.g, c.eps);
        const double rho = analisar_lfa(p).rho, q = medido(m);
        SCOPED_TRACE(componente(c.s).nome);
        EXPECT_LT(q, rho * 1.05);
        EXPECT_GT(q, rho * 0.75);
    }
}

// Anisotropia forte (eps = 1e-4: acoplamento forte em y): Gauss-Seidel de pontos com engrossamento completo fica
// perto de 1; o semiengrossamento na direção forte (y) e as linhas na direção forte (line-y) ficam longe dele.
TEST(AnaliseRobusta, AnisotropiaSoComOsRemedios) {
    const auto rho = [](tipo_suavizador s, tipo_engrossamento g) {
        return analisar_lfa(pedido(s, tipo_operador_grosso::rediscretizado, tipo_interpolacao::bilinear,
                                   tipo_restricao::completa, g, 1e-4))
            .rho;
    };
    EXPECT_GT(rho(tipo_suavizador::gs_lex, tipo_engrossamento::completo), 0.95);
    EXPECT_LT(rho(tipo_suavizador::gs_lex, tipo_engrossamento::y), 0.5);
    EXPECT_LT(rho(tipo_suavizador::linha_y, tipo_engrossamento::completo), 0.5);
    EXPECT_LT(rho(tipo_suavizador::linha_y, tipo_engrossamento::y), 0.5);
    // o semiengrossamento na direção fraca não ajuda
    EXPECT_GT(rho(tipo_suavizador::gs_lex, tipo_engrossamento::x), 0.95);
}
