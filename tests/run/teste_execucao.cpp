// A rodada inteira num diretório temporário: editor, listagem, erros, memória e modelo de entrada.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <unistd.h>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "state/erro_fatal.h"

namespace fs = std::filesystem;

namespace {

// Cada teste num diretório temporário próprio, com a plataforma falsa reiniciada.
class Execucao : public diretorio_temporario {
protected:
    void SetUp() override {
        falsa::reiniciar();
        diretorio_temporario::SetUp();
    }
    // Arquivos do diretório além dos nomeados: nada de temporários esquecidos.
    std::vector<std::string> arquivos() const {
        std::vector<std::string> v;
        for (const auto& x : fs::directory_iterator(dir_)) v.push_back(x.path().filename().string());
        std::sort(v.begin(), v.end());
        return v;
    }
};

} // namespace

TEST_F(Execucao, RodadaCompletaComEditorNosDoisArquivos) {
    escrever("tervano3.ent", entrada(2, 3, 3, "0.001", 50, 1, 1));
    estado_execucao e;
    executar(e, "tervano3.ent");
    EXPECT_EQ(falsa::editados, (std::vector<std::string>{"tervano3.ent", "saida.lst"}));
    const std::string l = ler_arquivo("saida.lst");
    EXPECT_NE(l.find("     Dia = (7/12/2026)      Hora = 14:5:9  \r\n"), std::string::npos);
    EXPECT_NE(l.find("   4.800000E+01 = norma L1"), std::string::npos);
    EXPECT_NE(l.find("         1   1.524251E-01   1.524251E-01   1.524251E-01\r\n"), std::string::npos);
    EXPECT_NE(l.find("\r\n         3 "), std::string::npos);
    EXPECT_EQ(l.find("\r\n         4 "), std::string::npos);
    EXPECT_TRUE(l.ends_with("         0.078 = tempo de CPU (segundos)\r\n"));
    EXPECT_EQ(arquivos(), (std::vector<std::string>{"saida.lst", "tervano3.ent"}));
}

TEST_F(Execucao, ListagemAntigaMaiorESubstituidaPorInteiro) {
    escrever("tervano3.ent", entrada(1, 3, 3, "0.0", 1, 1, 1));
    escrever("saida.lst", std::string(100000, 'x'));
    fs::permissions("saida.lst", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    estado_execucao e;
    executar(e, "tervano3.ent");
    const std::string l = ler_arquivo("saida.lst");
    EXPECT_EQ(l.find("xxx"), std::string::npos);
    EXPECT_LT(l.size(), 3000u);
    EXPECT_EQ(fs::status("saida.lst").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Execucao, LinkSimbolicoContinuaLink) {
    escrever("tervano3.ent", entrada(1, 3, 3, "0.0", 1, 1, 1));
    fs::create_directory("resultados");
    escrever("resultados/real.lst", "antiga");
    fs::create_symlink("resultados/real.lst", "saida.lst");
    estado_execucao e;
    executar(e, "tervano3.ent");
    EXPECT_TRUE(fs::is_symlink("saida.lst"));
    EXPECT_NE(ler_arquivo("resultados/real.lst").find("tempo de CPU"), std::string::npos);
}

TEST_F(Execucao, CasoComBrancosInternos) {
    escrever("tervano3.ent", "'meu caso.lst'\n1\n3\n3\n0\n1\n1\n1\n0\n0\n1\nT\n");
    estado_execucao e;
    executar(e, "tervano3.ent");
    EXPECT_TRUE(fs::exists("meu caso.lst"));
    EXPECT_EQ(falsa::editados.back(), "meu caso.lst");
}

TEST_F(Execucao, ErroDeLeituraNaoDeixaListagem) {
    escrever("tervano3.ent", "saida.lst\n2\n3\n");
    escrever("saida.lst", "antiga\r\n");
    estado_execucao e;
    EXPECT_THROW(executar(e, "tervano3.ent"), erro_fatal);
    EXPECT_EQ(ler_arquivo("saida.lst"), "antiga\r\n");
    EXPECT_EQ(falsa::editados.size(), 1u);
}

// Sem editor, a entrada ausente é um erro com a dica do modelo; com editor, o modelo comentado é escrito e aberto
// (como o git abre o modelo de uma mensagem), e a rodada segue com ele.
TEST_F(Execucao, EntradaAusenteViraModeloSoComEditor) {
    falsa::com_editor = false;
    estado_execucao e;
    try {
        executar(e, "tervano3.ent");
        FAIL();
    } catch (const erro_fatal& x) {
        EXPECT_EQ(std::string(x.what()), "cannot open unit 7, file tervano3.ent: No such file or directory");
        EXPECT_EQ(x.dica, "'placa --template > tervano3.ent' writes a commented example to start from");
    }
    EXPECT_FALSE(fs::exists("tervano3.ent"));

    falsa::com_editor = true;
    falsa::editados.clear();
    estado_execucao e2;
    executar(e2, "tervano3.ent");
    EXPECT_EQ(ler_arquivo("tervano3.ent"), ler_arquivo(PLACA_EXEMPLOS "/tervano3.ent"));
    EXPECT_EQ(falsa::editados, (std::vector<std::string>{"tervano3.ent", "exemplo1.lst"}));
    EXPECT_TRUE(fs::exists("exemplo1.lst"));
}

TEST_F(Execucao, ListagemEmPastaInexistenteOuPasta) {
    escrever("tervano3.ent", "'nao/existe.lst'\n1\n3\n3\n0\n1\n1\n1\n0\n0\n1\nT\n");
    estado_execucao e;
    try {
        executar(e, "tervano3.ent");
        FAIL();
    } catch (const erro_fatal& x) {
        EXPECT_NE(std::string(x.what()).find("unit 10, file nao/existe.lst"), std::string::npos) << x.what();
    }
    fs::create_directory("pasta");
    escrever("tervano3.ent", "pasta\n1\n3\n3\n0\n1\n1\n1\n0\n0\n1\nT\n");
    estado_execucao e2;
    EXPECT_THROW(executar(e2, "tervano3.ent"), erro_fatal);
    EXPECT_TRUE(fs::is_directory("pasta"));
    EXPECT_EQ(arquivos(), (std::vector<std::string>{"pasta", "tervano3.ent"}));
}

TEST_F(Execucao, ExemploDistribuido) {
    fs::copy_file(PLACA_EXEMPLOS "/tervano3.ent", "tervano3.ent");
    estado_execucao e;
    executar(e, "tervano3.ent");
    EXPECT_EQ(e.niter, 6);
    EXPECT_TRUE(fs::exists(e.caso.substr(0, e.caso.find_last_not_of(" ") + 1)));
}

// itmax = 2147483647 leva it a 2147483648 quando a rodada não converge: o contador não pode estourar.
static_assert(std::numeric_limits<decltype(estado_execucao::it)>::max() > 2147483648LL);
static_assert(std::numeric_limits<decltype(estado_execucao::niter)>::max() > 2147483648LL);

TEST_F(Execucao, MemoriaInsuficienteRecusadaAntesDeTudo) {
    escrever("tervano3.ent", entrada(3, 5, 5, "0", 9, 1, 1));
    estado_execucao e0 = estado_de(entrada(3, 5, 5, "0", 9, 1, 1));
    const necessidade_memoria m = memoria_necessaria(e0, {}, efetivo(e0));
    EXPECT_EQ(m.T, 8 * (289 + 1));
    EXPECT_EQ(m.cor, 8 * (25 + 81 + 1));
    EXPECT_EQ(m.hist, 8 * 10);
    EXPECT_EQ(m.rascunho, 8 * 9 * 17);
    EXPECT_EQ(m.saidas, 128 << 10);
    const long long total = m.T + m.cor + m.res + m.hist + m.rascunho + m.saidas;
    falsa::memoria = total - 1;
    estado_execucao e;
    try {
        executar(e, "tervano3.ent");
        FAIL();
    } catch (const erro_fatal& x) {
        EXPECT_EQ(std::string(x.what()).rfind("not enough memory for this run: it needs " + std::to_string(total) +
                                                  " bytes (",
                                              0),
                  0u)
            << x.what();
        EXPECT_NE(std::string(x.what()).find("but only " + std::to_string(total - 1) + " bytes"), std::string::npos);
    }
    EXPECT_TRUE(e.T.empty());
    EXPECT_FALSE(fs::exists("saida.lst"));
    falsa::memoria = total;
    estado_execucao e2;
    executar(e2, "tervano3.ent");
    EXPECT_TRUE(fs::exists("saida.lst"));
}

// O fator em banda de --coarsest solve entra no plano de memória: recusado antes de tudo, com a sua cifra.
TEST_F(Execucao, FatorEmBandaQueNaoCabeRecusado) {
    escrever("tervano3.ent", entrada(2, 41, 41, "0", 3, 1, 1));
    const estado_execucao e0 = estado_de(entrada(2, 41, 41, "0", 3, 1, 1));
    opcoes_execucao o;
    o.editar = false;
    o.metodo.grosso_exato = true;
    const necessidade_memoria sem = memoria_necessaria(e0, {}, efetivo(e0)), com = memoria_necessaria(e0, o, efetivo(e0, o.metodo));
    EXPECT_EQ(sem.fator, 0);
    EXPECT_EQ(com.fator, 8LL * (39 * 39 * 40 + 39 * 39)); // 1521 incógnitas, meia banda 39
    const long long total = com.T + com.cor + com.res + com.hist + com.rascunho + com.fator + com.saidas;
    falsa::memoria = total - 1; // as grades cabem, o fator não
    estado_execucao e;
    try {
        executar(e, o);
        FAIL();
    } catch (const erro_fatal& x) {
        const std::string m = x.what();
        EXPECT_EQ(m.rfind("not enough memory for this run: it needs " + std::to_string(total) + " bytes (", 0), 0u) << m;
        EXPECT_NE(m.find(", band factor of level 1 "), std::string::npos) << m;
    }
    EXPECT_TRUE(e.T.empty());
    EXPECT_FALSE(fs::exists("saida.lst"));
    falsa::memoria = total;
    estado_execucao e2;
    executar(e2, o);
    EXPECT_TRUE(fs::exists("saida.lst"));
}

TEST(ThreadsPadrao, SaoOsProcessadoresOciosos) {
    struct caso {
        int processadores;
        double carga;
        int threads;
    };
    for (const caso& c : {caso{2, 0.0, 2}, caso{2, 0.4, 2}, caso{2, 0.6, 1}, caso{2, 3.5, 1}, caso{8, 2.2, 6},
                          caso{1, 0.0, 1}, caso{4, 9.0, 1}})
        EXPECT_EQ(threads_padrao(c.processadores, c.carga), c.threads) << c.processadores << " " << c.carga;
}
