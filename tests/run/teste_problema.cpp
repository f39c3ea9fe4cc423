// O problema pedido contra a entrada, antes de qualquer arquivo: M que não cabe nas células, tipo_ci = 1 sem solução
// exata, sin:KX:KY com coeficiente variável numa rodada de estudo, eps que estoura o operador; e o plano de memória
// que conta os coeficientes e a fonte.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "state/erro_fatal.h"

namespace fs = std::filesystem;

namespace {

class ProblemaDaRodada : public diretorio_temporario {
protected:
    void SetUp() override {
        falsa::reiniciar();
        diretorio_temporario::SetUp();
    }
    // A mensagem com que a rodada com as opções `a` é recusada (vazia se não é), e nenhuma saída fica.
    std::string recusa(const std::string& texto, const std::vector<std::string>& a) {
        escrever("tervano3.ent", texto);
        const leitura_opcoes l = opcoes_de(a);
        EXPECT_TRUE(l.rodar);
        opcoes_execucao o = l.opcoes;
        o.editar = false;
        o.resumo = "r.csv";
        o.grafico = "fig";
        estado_execucao e;
        std::string m;
        try {
            executar(e, o);
        } catch (const erro_fatal& x) {
            m = x.what();
            EXPECT_TRUE(e.T.empty()) << m;
            for (const char* f : {"saida.lst", "r.csv", "fig.gp", "fig-coeficiente.svg"}) EXPECT_FALSE(fs::exists(f)) << f;
        }
        return m;
    }
};

} // namespace

TEST_F(ProblemaDaRodada, RecusadoAntesDeQualquerArquivo) {
    // 3 níveis de 3 x 3: 8 x 8 células no nível mais fino
    const std::string texto = entrada(3, 3, 3, "1e-6", 3, 1, 2);
    EXPECT_EQ(recusa(texto, {"--coefficient", "checker:10:9"}),
              "--coefficient checker:10:9: M = 9 is more than the cells of the finest grid (8 x 8, from nxg(nm) = 9 "
              "and nyg(nm) = 9 points)");
    EXPECT_EQ(recusa(entrada(3, 5, 3, "1e-6", 3, 1, 2), {"--coefficient", "layers:10:9"}),
              "--coefficient layers:10:9: M = 9 is more than the 8 rows of cells of the finest grid (nyg(nm) = 9 points)");
    EXPECT_EQ(recusa(entrada(3, 3, 3, "1e-6", 3, 1, 2, 1), {"--problem", "constant:1"}),
              "tervano3.ent: tipo_ci = 1 starts from the exact solution, but the problem constant:1 has none (give "
              "tipo_ci 0, for instance with --set tipo_ci=0)");
    EXPECT_EQ(recusa(entrada(3, 3, 3, "1e-6", 3, 1, 2, 1), {"--coefficient", "jump:100"}),
              "tervano3.ent: tipo_ci = 1 starts from the exact solution, but with --coefficient jump:100 no problem has "
              "one (give tipo_ci 0, for instance with --set tipo_ci=0)");
    EXPECT_NE(recusa(texto, {"--eps", "1e307"}).find("--eps 1e+307 makes the operator of the finest grid (9 x 9 points) "
                                                     "overflow"),
              std::string::npos);
    // um eps enorme que ainda cabe: a rodada e a análise terminam (a LFA só lê ae/an)
    EXPECT_EQ(recusa(texto, {"--eps", "1e306"}), "");
    // o que cabe segue: M igual às células, tipo_ci = 1 com a solução manufaturada, C = 1 com sin
    EXPECT_EQ(recusa(texto, {"--coefficient", "checker:10:8"}), "");
    EXPECT_EQ(recusa(entrada(3, 3, 3, "1e-6", 3, 1, 2, 1), {"--problem", "sin:2:1", "--eps", "0.1"}), "");
    EXPECT_EQ(recusa(texto, {"--problem", "sin:2:1", "--coefficient", "random:1"}), "");
}

// Numa rodada de estudo o filho lê as opções uma a uma: a combinação sin com coeficiente variável é recusada por ele.
TEST_F(ProblemaDaRodada, ManufaturadaComCoeficienteVariavel) {
    escrever("tervano3.ent", entrada(2, 3, 3, "1e-6", 3, 1, 2));
    opcoes_execucao o;
    o.editar = false;
    o.metodo.problema = {tipo_problema::senos, 1, 1, 0.0};
    o.metodo.coeficiente = {tipo_coeficiente::camadas, 10.0, 2, 1};
    estado_execucao e;
    try {
        executar(e, o);
        FAIL();
    } catch (const erro_fatal& x) {
        EXPECT_EQ(std::string(x.what()).rfind("--problem sin:1:1 needs a constant coefficient", 0), 0u) << x.what();
    }
    EXPECT_FALSE(fs::exists("saida.lst"));
}

// O plano de memória conta os coeficientes do operador variável (kappa, a sua média nos níveis grossos e ax, ay, ap
// de cada nível) e a fonte; uma rodada que não os comporta é recusada com eles na conta.
TEST_F(ProblemaDaRodada, MemoriaDosCoeficientesEDaFonte) {
    escrever("tervano3.ent", entrada(3, 5, 5, "0", 3, 1, 2));
    const estado_execucao e0 = estado_de(entrada(3, 5, 5, "0", 3, 1, 2));
    opcoes_execucao o;
    o.editar = false;
    o.metodo.coeficiente = {tipo_coeficiente::salto, 100.0, 1, 1};
    o.metodo.problema = {tipo_problema::constante, 1, 1, 3.0};
    const necessidade_memoria sem = memoria_necessaria(e0, {}, efetivo(e0));
    const necessidade_memoria com = memoria_necessaria(e0, o, efetivo(e0, o.metodo));
    EXPECT_EQ(sem.operador, 0);
    EXPECT_EQ(sem.fonte, 0);
    // 25 + 81 + 289 pontos, três grades cada; 16 + 64 + 256 células, mais uma posição por vetor
    EXPECT_EQ(com.operador, 8LL * ((3 * 395 + 1) + (16 + 64 + 256 + 3)));
    EXPECT_EQ(com.fonte, 8LL * 290);
    const long long total = com.T + com.cor + com.res + com.hist + com.rascunho + com.operador + com.fonte + com.saidas;
    falsa::memoria = total - 1;
    estado_execucao e;
    try {
        executar(e, o);
        FAIL();
    } catch (const erro_fatal& x) {
        const std::string m = x.what();
        EXPECT_NE(m.find(", operators and interpolation weights "), std::string::npos) << m;
        EXPECT_NE(m.find(", source term "), std::string::npos) << m;
    }
    falsa::memoria = total;
    estado_execucao e2;
    executar(e2, o);
    EXPECT_TRUE(fs::exists("saida.lst"));
}

// Uma onda que a grade não representa: aviso, a rodada segue.
TEST(ProblemaAvisos, OndaAlemDaGrade) {
    const estado_execucao e = estado_de(entrada(3, 3, 3, "1e-6", 3, 1, 2)); // 8 x 8 intervalos
    metodo_solver m;
    m.problema = {tipo_problema::senos, 7, 2, 0.0};
    EXPECT_TRUE(avisos_do_problema(e, efetivo(e, m)).empty());
    m.problema.kx = 8;
    const std::vector<std::string> a = avisos_do_problema(e, efetivo(e, m));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].rfind("--problem sin:8:2: the finest grid has 8 x 8 intervals, too few for this wave", 0), 0u) << a[0];
    m.problema = {tipo_problema::constante, 1, 1, 2.0};
    EXPECT_TRUE(avisos_do_problema(e, efetivo(e, m)).empty());
}

// O plano de memória conta os vetores do método de Krylov, cada um do tamanho de T: cg 5, bicgstab 7, gmres:M 2M+3.
TEST_F(ProblemaDaRodada, MemoriaDosVetoresDeKrylov) {
    const estado_execucao e0 = estado_de(entrada(3, 5, 5, "0", 3, 1, 2));
    const necessidade_memoria sem = memoria_necessaria(e0, {}, efetivo(e0));
    for (const auto& [k, vetores] : {std::pair{aceleracao_krylov{tipo_krylov::cg, 30}, 5},
                                     std::pair{aceleracao_krylov{tipo_krylov::bicgstab, 30}, 7},
                                     std::pair{aceleracao_krylov{tipo_krylov::gmres, 4}, 11}}) {
        metodo_solver m;
        m.krylov = k;
        const necessidade_memoria com = memoria_necessaria(e0, {}, efetivo(e0, m));
        EXPECT_EQ(com.rascunho - sem.rascunho, vetores * sem.T) << texto_krylov(k);
    }
}
