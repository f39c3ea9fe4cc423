// Operações de arquivo da plataforma: gravação segura, anexação sob trava, identidade e exame de destinos.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "platform/plataforma.h"

namespace fs = std::filesystem;

namespace {

class Arquivos : public diretorio_temporario {
protected:
    std::size_t entradas() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {})); }
};

} // namespace

TEST_F(Arquivos, GravacaoSoAparecePorInteiroAoEfetivar) {
    for (tipo_temporario tipo : {tipo_temporario::anonimo, tipo_temporario::para_outro_programa}) {
        escrever("a.lst", "antiga");
        chmod("a.lst", 06750);
        {
            gravacao_segura g;
            ASSERT_FALSE(g.abrir("a.lst", tipo));
            ASSERT_FALSE(g.escrever("nova", 4));
            EXPECT_EQ(ler_arquivo("a.lst"), "antiga");
            EXPECT_EQ(tipo == tipo_temporario::para_outro_programa, !g.caminho_para_escrita().empty());
            ASSERT_FALSE(g.efetivar());
        }
        EXPECT_EQ(ler_arquivo("a.lst"), "nova");
        struct stat st{};
        ASSERT_EQ(stat("a.lst", &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0750u) << "setuid e setgid não passam à nova";
        EXPECT_EQ(entradas(), 1u) << "nenhum temporário fica";
    }
}

TEST_F(Arquivos, GravacaoDesfeitaNaoDeixaNada) {
    escrever("a.lst", "antiga");
    for (tipo_temporario tipo : {tipo_temporario::anonimo, tipo_temporario::para_outro_programa}) {
        {
            gravacao_segura g;
            ASSERT_FALSE(g.abrir("a.lst", tipo));
            ASSERT_FALSE(g.escrever("meia", 4));
        }
        EXPECT_EQ(ler_arquivo("a.lst"), "antiga");
        EXPECT_EQ(entradas(), 1u);
    }
    gravacao_segura g;
    ASSERT_FALSE(g.abrir("nova.lst"));
    g.descartar();
    EXPECT_FALSE(fs::exists("nova.lst"));
}

TEST_F(Arquivos, DestinosQueNaoServemDizemPorque) {
    fs::create_directory("pasta");
    escrever("so_leitura.lst", "x");
    chmod("so_leitura.lst", 0444);
    escrever("arquivo", "x");
    EXPECT_EQ(examinar_destino("nada/x.lst").codigo, ENOENT);
    EXPECT_EQ(examinar_destino("pasta").codigo, EISDIR);
    EXPECT_EQ(examinar_destino("so_leitura.lst").codigo, EACCES);
    EXPECT_EQ(examinar_destino("arquivo/x.lst").codigo, ENOTDIR);
    EXPECT_EQ(examinar_destino(std::string(300, 'n')).codigo, ENAMETOOLONG);
    EXPECT_FALSE(examinar_destino("pasta/novo.lst"));
    EXPECT_FALSE(examinar_destino("/dev/null"));
    EXPECT_TRUE(destino_especial("/dev/null"));
    EXPECT_FALSE(destino_especial("arquivo"));
    EXPECT_EQ(entradas(), 3u) << "examinar não cria nada";
}

TEST_F(Arquivos, IdentidadePorInodeOuPorCaminhoResolvido) {
    escrever("a.ent", "x");
    fs::create_hard_link("a.ent", "dura.ent");
    fs::create_symlink("a.ent", "link.ent");
    fs::create_directory("sub");
    EXPECT_TRUE(mesmo_arquivo(identificar("a.ent"), identificar("./dura.ent")));
    EXPECT_TRUE(mesmo_arquivo(identificar("a.ent"), identificar("link.ent")));
    EXPECT_TRUE(mesmo_arquivo(identificar("novo.csv"), identificar("sub/../novo.csv")));
    EXPECT_FALSE(mesmo_arquivo(identificar("novo.csv"), identificar("sub/novo.csv")));
    EXPECT_FALSE(mesmo_arquivo(identificar("a.ent"), identificar("novo.csv")));
}

TEST_F(Arquivos, AnexacaoDecideOCabecalhoEVoltaAtrasNaFalha) {
    const auto linha = [](bool vazio) { return std::string(vazio ? "cab\n" : "") + "linha\n"; };
    ASSERT_FALSE(anexar_sob_trava("r.csv", linha));
    ASSERT_FALSE(anexar_sob_trava("r.csv", linha));
    EXPECT_EQ(ler_arquivo("r.csv"), "cab\nlinha\nlinha\n");
    EXPECT_EQ(anexar_sob_trava("/dev/null", linha).codigo, EINVAL);

    // limite de tamanho no meio da linha: o arquivo volta ao que era e a falha é a verdadeira (EFBIG)
    escrever("r.csv", std::string(1000, 'r'));
    const auto longa = [](bool) { return std::string(200, 'l'); };
    rlimit antigo{};
    getrlimit(RLIMIT_FSIZE, &antigo);
    const auto tratador = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r = antigo;
    r.rlim_cur = 1100;
    setrlimit(RLIMIT_FSIZE, &r);
    const falha_arquivo f = anexar_sob_trava("r.csv", longa);
    setrlimit(RLIMIT_FSIZE, &antigo);
    std::signal(SIGXFSZ, tratador);
    EXPECT_EQ(f.codigo, EFBIG);
    EXPECT_EQ(fs::file_size("r.csv"), 1000u);
}

TEST(NomeParaPrograma, CaminhoRelativoNuncaPareceOpcao) {
    EXPECT_EQ(nome_para_programa("+!touch x"), "./+!touch x");
    EXPECT_EQ(nome_para_programa("-x.ent"), "./-x.ent");
    EXPECT_EQ(nome_para_programa("/abs/x"), "/abs/x");
}
