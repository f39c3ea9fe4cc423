// A aceleração de Krylov: o precondicionador simétrico nos ciclos que o cg aceita (u.Bv = v.Bu) e não nos outros,
// um passo de cg, bicgstab e gmres conferido à mão numa grade de 2 x 2 incógnitas, as recusas, a ruptura e os
// mesmos bits com 1 e 3 threads.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/krylov.h"
#include "solver/solver.h"

namespace {

// O ciclo de um método montado num estado com grades e plano, para aplicar B à mão.
struct bancada {
    estado_execucao e;
    equipe eq{1};
    plano_solver p;
    metodo_efetivo m;

    bancada(const std::string& texto, const metodo_solver& pedido) : e(estado_de(texto)), m(efetivo(e, pedido)) {
        criar_campo(e, e.nxyg[e.nm]);
        criar_niveis_grossos(e, e.nxyt - e.nxyg[e.nm]);
        planejar_solver(p, e, m, {}, eq);
    }

    espaco_krylov espaco() {
        return espaco_do_nivel_fino(e, [this] {
            if (e.nm == 1) suavizar_nivel(e, p, e.nitm);
            else ciclo(e, p, e.nm, p.ciclo);
        });
    }
};

vetor_grande aleatorio(const espaco_krylov& s, unsigned semente) {
    std::mt19937_64 g(semente);
    uniforme u(-1.0, 1.0);
    vetor_grande v = vetor_krylov(s);
    em_cada_ponto(s, [&](long P) { v[P] = u(g); });
    return v;
}

// |u.Bv - v.Bu| relativo a |u| |Bv|.
double assimetria(bancada& b) {
    espaco_krylov s = b.espaco();
    vetor_grande u = aleatorio(s, 1), v = aleatorio(s, 2), bu = vetor_krylov(s), bv = vetor_krylov(s);
    precondicionar(s, u, bu);
    precondicionar(s, v, bv);
    return std::fabs(produto(s, u, bv) - produto(s, v, bu)) / (norma2(s, u) * norma2(s, bv));
}

metodo_solver metodo(tipo_suavizador sv, tipo_ciclo c, tipo_restricao r, int pre, int pos) {
    metodo_solver m;
    m.suavizador = sv;
    m.ciclo = c;
    m.restricao = r;
    m.pre = pre;
    m.pos = pos;
    return m;
}

} // namespace

// Os ciclos que o cg aceita são simétricos a arredondamento, com o operador constante e o variável, o nível 1
// suavizado ou resolvido; os que ele recusa não são (a diferença é de ordem 1, não de arredondamento).
TEST(Krylov, PrecondicionadorSimetricoNosCiclosAceitos) {
    const std::string texto = entrada(4, 5, 4, "1e-6", 5, 2, 2);
    for (tipo_suavizador sv : {tipo_suavizador::jacobi, tipo_suavizador::gs_sym})
        for (tipo_ciclo c : {tipo_ciclo::V, tipo_ciclo::W})
            for (tipo_restricao r : {tipo_restricao::completa, tipo_restricao::transposta})
                for (bool variavel : {false, true})
                    for (bool exato : {false, true}) {
                        metodo_solver m = metodo(sv, c, r, 2, 2);
                        if (variavel) m.coeficiente = {tipo_coeficiente::salto, 1000.0, 1, 1};
                        m.grosso_exato = exato;
                        m.eps = 0.1;
                        bancada b(texto, m);
                        m.krylov.tipo = tipo_krylov::cg;
                        EXPECT_EQ(recusa_krylov(efetivo(b.e, m)), "");
                        EXPECT_LT(assimetria(b), 1e-13) << static_cast<int>(sv) << " " << static_cast<int>(c) << " "
                                                        << static_cast<int>(r) << " " << variavel << " " << exato;
                    }
    struct recusado {
        metodo_solver m;
        const char* motivo; // um pedaço da mensagem
    } recusados[] = {
        {metodo(tipo_suavizador::gs_lex, tipo_ciclo::V, tipo_restricao::completa, 2, 2), "--smoother gs-lex"},
        {metodo(tipo_suavizador::gs_rb, tipo_ciclo::V, tipo_restricao::completa, 2, 2), "--smoother gs-rb"},
        {metodo(tipo_suavizador::jacobi, tipo_ciclo::V, tipo_restricao::completa, 2, 1), "the counts differ"},
        {metodo(tipo_suavizador::gs_sym, tipo_ciclo::F, tipo_restricao::completa, 1, 1), "F-cycle"},
        {metodo(tipo_suavizador::gs_sym, tipo_ciclo::V, tipo_restricao::injecao, 1, 1), "--restriction injection"},
        {metodo(tipo_suavizador::gs_sym, tipo_ciclo::V, tipo_restricao::meia, 1, 1), "--restriction half"},
    };
    for (recusado& x : recusados) {
        SCOPED_TRACE(x.motivo);
        bancada b(texto, x.m);
        EXPECT_GT(assimetria(b), 1e-9) << assimetria(b);
        x.m.krylov.tipo = tipo_krylov::cg;
        EXPECT_NE(recusa_krylov(efetivo(b.e, x.m)).find(x.motivo), std::string::npos) << recusa_krylov(efetivo(b.e, x.m));
        x.m.krylov.tipo = tipo_krylov::bicgstab; // os outros aceitam qualquer ciclo
        EXPECT_EQ(recusa_krylov(efetivo(b.e, x.m)), "");
    }
    metodo_solver fmg = metodo(tipo_suavizador::gs_sym, tipo_ciclo::V, tipo_restricao::completa, 1, 1);
    fmg.fmg = true;
    fmg.krylov.tipo = tipo_krylov::gmres;
    EXPECT_NE(recusa_krylov(metodo_efetivo(fmg, 1, 3, 2)).find("--fmg"), std::string::npos);
}

// 2 x 2 incógnitas (4 x 4 pontos, h = 1/3: ap = 36, ae = an = 9), contorno de cima sin(pi x) = s nos dois pontos,
// campo inicial 0; uma varredura de jacobi numa malha só: B = (0.8/36) I, e o cg é o cg sem precondicionador.
// r0 = 9s (0, 0, 1, 1) (pontos (2,2), (3,2), (2,3), (3,3)); A r0 = 9s (-9, -9, 27, 27).
// cg, passo 1: alpha = 1/(27c), x1 = (s/3)(0, 0, 1, 1), r1 = 3s (1, 1, 0, 0): hist(1)/hist(0) = 6s/18s = 1/3.
// cg, passo 2: beta = 1/9, p = cs (3, 3, 1, 1), Ap = cs (72, 72, 0, 0), alpha = 1/(24c): x2 = s (1, 1, 3, 3)/8, que
// resolve as equações (r2 = 0).
// bicgstab, meia iteração 1: rho = 162 s², alpha = 1/(27c): o mesmo x1 do cg.
// gmres, passo 1: y = (w.r0)/(w.w) com w = A B r0 = 1/(30c): x1 = 0.3 s (0, 0, 1, 1), r1 = 0.9s (3, 3, 1, 1):
// hist(1)/hist(0) = 7.2s/18s = 0.4, estimativa |r1|_2 = 0.9s sqrt(20).
TEST(Krylov, UmPassoConferidoAMao) {
    const double s = std::sin(3.141592653589793 / 3.0);
    auto resolver = [&](tipo_krylov k, int itmax) {
        estado_execucao e = estado_de(entrada(1, 4, 4, "0", itmax, 1, 2));
        metodo_solver m;
        m.suavizador = tipo_suavizador::jacobi;
        m.krylov.tipo = k;
        resolver_malha_unica(e, efetivo(e, m));
        return e;
    };
    auto T = [](const estado_execucao& e, int i, int j) { return e.T[static_cast<std::size_t>(i + (j - 1) * 4)]; };
    const double tol = 1e-14;
    {
        const estado_execucao e = resolver(tipo_krylov::cg, 1);
        EXPECT_NEAR(e.hist[0], 18.0 * s, tol * 18);
        EXPECT_NEAR(e.hist[1] / e.hist[0], 1.0 / 3.0, tol);
        EXPECT_NEAR(T(e, 2, 2), 0.0, tol);
        EXPECT_NEAR(T(e, 3, 2), 0.0, tol);
        EXPECT_NEAR(T(e, 2, 3), s / 3.0, tol);
        EXPECT_NEAR(T(e, 3, 3), s / 3.0, tol);
        EXPECT_NEAR(e.estimativa_krylov[1], 3.0 * s * std::sqrt(2.0), tol * 10);
    }
    {
        const estado_execucao e = resolver(tipo_krylov::cg, 2);
        EXPECT_LT(e.hist[2] / e.hist[0], 1e-15);
        EXPECT_NEAR(T(e, 2, 2), s / 8.0, tol);
        EXPECT_NEAR(T(e, 3, 2), s / 8.0, tol);
        EXPECT_NEAR(T(e, 2, 3), 3.0 * s / 8.0, tol);
        EXPECT_NEAR(T(e, 3, 3), 3.0 * s / 8.0, tol);
        EXPECT_EQ(e.parada, motivo_parada::iteracoes);
    }
    {
        const estado_execucao e = resolver(tipo_krylov::bicgstab, 1);
        EXPECT_NEAR(e.hist[1] / e.hist[0], 1.0 / 3.0, tol);
        EXPECT_NEAR(T(e, 2, 3), s / 3.0, tol);
        EXPECT_NEAR(T(e, 2, 2), 0.0, tol);
    }
    {
        const estado_execucao e = resolver(tipo_krylov::gmres, 1);
        EXPECT_NEAR(e.hist[1] / e.hist[0], 0.4, tol);
        EXPECT_NEAR(T(e, 2, 2), 0.0, tol);
        EXPECT_NEAR(T(e, 3, 3), 0.3 * s, tol);
        EXPECT_NEAR(e.estimativa_krylov[1], 0.9 * s * std::sqrt(20.0), tol * 10);
    }
}

// Sem varreduras B = 0: o cg não pode continuar, e a rodada para como divergida, nunca como convergida.
TEST(Krylov, RupturaParaARodada) {
    estado_execucao e = estado_de(entrada(1, 6, 6, "1e-6", 10, 0, 2));
    metodo_solver m;
    m.suavizador = tipo_suavizador::jacobi;
    m.krylov.tipo = tipo_krylov::cg;
    resolver_malha_unica(e, efetivo(e, m));
    EXPECT_EQ(e.ruptura, "cg: r.z = 0");
    EXPECT_EQ(e.parada, motivo_parada::divergencia);
    EXPECT_EQ(e.niter, 1);
}

// Os produtos internos somam numa ordem só: cada método dá os mesmos bits com 1 e 3 threads (gs-rb e jacobi
// dividem as varreduras entre elas), e converge no problema anisotrópico.
TEST(Krylov, MesmosBitsComQualquerNumeroDeThreads) {
    const std::string texto = entrada(5, 3, 3, "1e-10", 100, 1, 2);
    for (tipo_krylov k : {tipo_krylov::cg, tipo_krylov::bicgstab, tipo_krylov::gmres}) {
        SCOPED_TRACE(static_cast<int>(k));
        metodo_solver m = metodo(tipo_suavizador::jacobi, tipo_ciclo::V, tipo_restricao::completa, 1, 1);
        if (k != tipo_krylov::cg) m.suavizador = tipo_suavizador::gs_rb;
        m.krylov = {k, 5};
        m.eps = 0.01;
        m.inicio = tipo_inicio::aleatorio;
        std::vector<std::vector<double>> T, hist;
        for (int threads : {1, 3}) {
            estado_execucao e = estado_de(texto);
            ajustes_solver a;
            a.threads = threads;
            resolver_multigrid(e, efetivo(e, m), a);
            EXPECT_EQ(e.parada, motivo_parada::tolerancia) << e.niter;
            e.hist.resize(static_cast<std::size_t>(e.niter) + 1);
            T.push_back(copia_de(e.T));
            hist.push_back(e.hist);
        }
        EXPECT_TRUE(mesmos_bits(T[0], T[1]));
        EXPECT_TRUE(mesmos_bits(hist[0], hist[1]));
    }
}

// --post-order adjoint: gs-lex (também SOR) e gs-rb com a pós-suavização adjunta dão um ciclo simétrico, com o
// operador constante, o variável e o de nove pontos (Galerkin), V e W, o nível 1 resolvido ou alisado por um número
// par de varreduras; com a ordem de sempre, ou um número ímpar no nível 1, não (diferença de ordem 1).
TEST(Krylov, PosSuavizacaoAdjuntaTornaOCicloSimetrico) {
    const std::string texto = entrada(4, 5, 4, "1e-6", 5, 2, 2);
    for (tipo_suavizador sv : {tipo_suavizador::gs_lex, tipo_suavizador::gs_rb})
        for (double omega : {0.0, 1.3})
            for (tipo_ciclo c : {tipo_ciclo::V, tipo_ciclo::W})
                for (int operador = 0; operador < 3; ++operador)
                    for (int grosso : {-1, 2, 4}) {
                        SCOPED_TRACE(std::to_string(static_cast<int>(sv)) + " omega " + std::to_string(omega) +
                                     " ciclo " + std::to_string(static_cast<int>(c)) + " operador " +
                                     std::to_string(operador) + " grosso " + std::to_string(grosso));
                        metodo_solver m = metodo(sv, c, tipo_restricao::completa, 2, 2);
                        m.omega = omega;
                        if (operador == 1) m.coeficiente = {tipo_coeficiente::salto, 1000.0, 1, 1};
                        if (operador == 2) m.operador_grosso = tipo_operador_grosso::galerkin;
                        m.grosso_exato = grosso < 0;
                        if (grosso > 0) m.grosso = grosso;
                        m.eps = 0.1;
                        {
                            bancada mesma(texto, m);
                            EXPECT_GT(assimetria(mesma), 1e-9);
                        }
                        m.ordem = ordem_pos::adjunta;
                        bancada b(texto, m);
                        EXPECT_LT(assimetria(b), 1e-13);
                        m.krylov.tipo = tipo_krylov::cg;
                        EXPECT_EQ(recusa_krylov(efetivo(b.e, m)), "");
                    }
    // o nível 1 alisado por um número ímpar de varreduras não se divide em ida e volta
    metodo_solver impar = metodo(tipo_suavizador::gs_lex, tipo_ciclo::V, tipo_restricao::completa, 2, 2);
    impar.ordem = ordem_pos::adjunta;
    impar.grosso = 3;
    bancada b(texto, impar);
    EXPECT_GT(assimetria(b), 1e-9);
    impar.krylov.tipo = tipo_krylov::cg;
    EXPECT_NE(recusa_krylov(efetivo(b.e, impar)).find("odd count"), std::string::npos);
    // e a recusa da ordem de sempre diz o que acrescentar
    impar.ordem = ordem_pos::mesma;
    impar.grosso = 2;
    EXPECT_NE(recusa_krylov(efetivo(b.e, impar)).find("add --post-order adjoint"), std::string::npos);
}

// A volta rápida do gs-lex adjunto (varredura_para_tras, omega 1, operador constante) dá os bits da varredura
// simples para trás: a mesma solução com os núcleos rápidos e sem eles.
TEST(Krylov, PosSuavizacaoAdjuntaRapidaComOsMesmosBits) {
    const std::string texto = entrada(5, 5, 3, "1e-10", 12, 2, 2);
    for (bool fonte : {false, true}) {
        metodo_solver m = metodo(tipo_suavizador::gs_lex, tipo_ciclo::V, tipo_restricao::completa, 2, 2);
        m.ordem = ordem_pos::adjunta;
        m.inicio = tipo_inicio::aleatorio;
        if (fonte) m.problema = {tipo_problema::senos, 2, 1, 0.0};
        std::vector<std::vector<double>> T;
        for (bool rapidos : {false, true}) {
            estado_execucao e = estado_de(texto);
            ajustes_solver a;
            a.rapidos = rapidos;
            resolver_multigrid(e, efetivo(e, m), a);
            T.push_back(copia_de(e.T));
        }
        EXPECT_TRUE(mesmos_bits(T[0], T[1])) << fonte;
    }
}
