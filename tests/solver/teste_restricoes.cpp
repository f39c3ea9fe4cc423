// Restrições do resíduo (injeção, meia e completa) sobre resíduos conhecidos.
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {


// Com u = 0 o resíduo da correção é o lado direito: r = f.
struct restricao_de_f {
    std::vector<double> r; // res grosso, 4 x 4 (interior 2 x 2)
    double em(int I, int J) const { return r[I + (J - 1) * 4]; }
};

restricao_de_f restringir_f(restricao rs, const std::vector<double>& f0) {
    std::vector<double> u(50, 0.0), f = f0;
    restricao_de_f s{std::vector<double>(17, -7.0)};
    std::vector<double> rascunho(3 * 8);
    rs(vista_de(u, &f, 7, 7), abaixo(s.r.data(), 4, 4), rascunho.data());
    return s;
}

} // namespace

// Fino 7 x 7, grosso 4 x 4: cada ponto grosso interno com a sua fórmula (valores ao acaso: o agrupamento das somas
// conta), o contorno grosso não escrito.
TEST(Restricoes, PesosSobreResiduoConhecido) {
    std::vector<double> f(50, 0.0);
    std::mt19937_64 g(4);
    for (int p = 1; p <= 49; ++p) f[p] = uniforme(-1, 1)(g);
    auto r = [&](int i, int j) { return f[i + (j - 1) * 7]; };
    const restricao_de_f inj = restringir_f(restringir_injecao, f);
    const restricao_de_f meia = restringir_f(restringir_meia, f);
    const restricao_de_f comp = restringir_f(restringir_completa, f);
    for (int J = 2; J <= 3; ++J)
        for (int I = 2; I <= 3; ++I) {
            const int i = 2 * I - 1, j = 2 * J - 1;
            EXPECT_EQ(inj.em(I, J), r(i, j));
            EXPECT_EQ(meia.em(I, J), (4.0 * r(i, j) + ((r(i - 1, j) + r(i + 1, j)) + (r(i, j - 1) + r(i, j + 1)))) * 0.125);
            EXPECT_EQ(comp.em(I, J),
                      ((4.0 * r(i, j) + 2.0 * ((r(i - 1, j) + r(i + 1, j)) + (r(i, j - 1) + r(i, j + 1))))
                       + ((r(i - 1, j - 1) + r(i + 1, j - 1)) + (r(i - 1, j + 1) + r(i + 1, j + 1)))) * 0.0625);
        }
    for (int p : {1, 2, 3, 4, 5, 8, 9, 12, 13, 14, 15, 16}) {
        EXPECT_EQ(inj.r[p], -7.0);
        EXPECT_EQ(meia.r[p], -7.0);
        EXPECT_EQ(comp.r[p], -7.0);
    }
}

// Um só resíduo de 16 no ponto fino (i, j): os pesos aparecem nos pontos grossos vizinhos.
TEST(Restricoes, PesosDeUmImpulso) {
    struct caso {
        int i, j;                  // ponto fino do impulso
        double inj22, meia22, comp22, comp32, comp33;
    };
    for (const caso& c : {caso{3, 3, 16, 8, 4, 0, 0},   // coincide com (2, 2)
                          caso{4, 3, 0, 2, 2, 2, 0},    // entre (2, 2) e (3, 2)
                          caso{4, 4, 0, 0, 1, 1, 1}}) { // centro da célula (2, 2)-(3, 3)
        std::vector<double> f(50, 0.0);
        f[c.i + (c.j - 1) * 7] = 16.0;
        SCOPED_TRACE(std::to_string(c.i) + "," + std::to_string(c.j));
        EXPECT_EQ(restringir_f(restringir_injecao, f).em(2, 2), c.inj22);
        EXPECT_EQ(restringir_f(restringir_meia, f).em(2, 2), c.meia22);
        const restricao_de_f comp = restringir_f(restringir_completa, f);
        EXPECT_EQ(comp.em(2, 2), c.comp22);
        EXPECT_EQ(comp.em(3, 2), c.comp32);
        EXPECT_EQ(comp.em(3, 3), c.comp33);
    }
}

// Injeção sobre vistas = restringir_residuo de referência, de T e de cor, bit a bit.
TEST(Restricoes, InjecaoIgualAReferencia) {
    estado_execucao e = estado_de(entrada(3, 4, 3, "0", 1, 1, 2));
    criar_campo(e, e.nxyg[3]);
    criar_niveis_grossos(e, e.nxyg[1] + e.nxyg[2]);
    std::mt19937_64 g(9);
    uniforme d(-1, 1);
    for (double& v : e.T) v = d(g);
    for (double& v : e.cor) v = d(g);
    for (double& v : e.res) v = 50 * d(g);
    for (int k : {3, 2}) {
        selecionar_nivel(e, k);
        coeficientes(e);
        estado_execucao ref = e;
        restringir_injecao(nivel_corrente(e), nivel_abaixo_do_corrente(e), nullptr);
        restringir_residuo(ref);
        EXPECT_EQ(std::memcmp(e.res.data(), ref.res.data(), e.res.size() * sizeof(double)), 0) << "nível " << k;
    }
}
