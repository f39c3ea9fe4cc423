// --set NOME=VALOR: o mesmo estado que a entrada editada à mão, avisos e erros que citam a opção.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "state/erro_fatal.h"

namespace {

const std::vector<std::string> base{"exemplo1.lst", "4", "3", "3", "1.0d-8", "50", "2", "2", "0", "0", "1", "'Placa'"};

// Entrada com a linha `i` (0 = caso) trocada, num arquivo temporário.
std::string gravar(std::vector<std::string> linhas, const std::string& nome) {
    std::string texto;
    for (const std::string& l : linhas) texto += l + "   comentário\n";
    std::FILE* f = std::fopen(nome.c_str(), "w");
    std::fputs(texto.c_str(), f);
    std::fclose(f);
    return nome;
}

struct lido {
    estado_execucao e;
    std::vector<std::string> avisos;
};

lido ler(const std::string& arquivo, const std::vector<alteracao_entrada>& a = {}) {
    falsa::reiniciar();
    lido r;
    r.avisos = ler_dados(r.e, {.arquivo = arquivo, .editar = false, .alteracoes = a});
    return r;
}

void iguais(const estado_execucao& a, const estado_execucao& b) {
    EXPECT_EQ(a.caso, b.caso);
    EXPECT_EQ(a.arquivo_listagem, b.arquivo_listagem);
    EXPECT_EQ(a.nm, b.nm);
    EXPECT_EQ(a.nxg, b.nxg);
    EXPECT_EQ(a.nyg, b.nyg);
    EXPECT_EQ(a.nxyg, b.nxyg);
    EXPECT_EQ(a.nxyt, b.nxyt);
    EXPECT_EQ(a.tolt, b.tolt);
    EXPECT_EQ(a.itmax, b.itmax);
    EXPECT_EQ(a.nitm, b.nitm);
    EXPECT_EQ(a.problema, b.problema);
    EXPECT_EQ(a.tipo_ci, b.tipo_ci);
    EXPECT_EQ(a.escreve, b.escreve);
    EXPECT_EQ(a.freq, b.freq);
    EXPECT_EQ(a.titulo, b.titulo);
    EXPECT_EQ(a.hist.size(), b.hist.size());
}

} // namespace

TEST(Alteracoes, OMesmoEstadoQueAEntradaEditada) {
    struct caso {
        const char* nome;
        int linha;
        const char* no_arquivo; // como o usuário escreveria
        const char* valor;      // o mesmo, por --set
    };
    const caso casos[] = {
        {"nm", 1, "6", "6"},           {"nxg", 2, "5", "5"},           {"nyg", 3, "9", "9"},
        {"tolt", 4, "1.0d-10", "1.0d-10"}, {"itmax", 5, "7000", "7000"}, {"nitm", 6, "3", "3"},
        {"problema", 7, "1", "1"},     {"tipo_ci", 8, "1", "1"},       {"escreve", 9, "1", "1"},
        {"freq", 10, "-4", "-4"},      {"titulo", 11, "'Título, ação'", "Título, ação"},
        {"caso", 0, "'ação dir/x.lst'", "ação dir/x.lst"}};
    const std::string original = gravar(base, "alteracoes_base.ent");
    for (const caso& c : casos) {
        std::vector<std::string> editada = base;
        editada[c.linha] = c.no_arquivo;
        const lido a = ler(gravar(editada, "alteracoes_editada.ent"));
        const lido b = ler(original, {{c.nome, c.valor}});
        SCOPED_TRACE(c.nome);
        iguais(a.e, b.e);
        EXPECT_EQ(a.avisos, b.avisos);
    }
    // várias, e a última de um nome vale
    const lido v = ler(original, {{"nm", "2"}, {"nxg", "9"}, {"nm", "3"}});
    EXPECT_EQ(v.e.nm, 3);
    EXPECT_EQ(v.e.nxg, (std::vector<int>{0, 9, 17, 33}));
    EXPECT_EQ(v.e.nyg, (std::vector<int>{0, 3, 5, 9}));
    std::remove("alteracoes_base.ent");
    std::remove("alteracoes_editada.ent");
}

TEST(Alteracoes, AvisosCitamAOpcaoEOValorDoArquivoSai) {
    std::vector<std::string> v = base;
    v[4] = "1,0e-8"; // vírgula decimal no arquivo: dois avisos
    const std::string arquivo = gravar(v, "alteracoes_avisos.ent");
    EXPECT_EQ(ler(arquivo).avisos.size(), 2u);
    EXPECT_TRUE(ler(arquivo, {{"tolt", "1e-8"}}).avisos.empty()); // trocado: os avisos do arquivo não valem mais
    const lido t = ler(arquivo, {{"tolt", "2"}});
    ASSERT_EQ(t.avisos.size(), 1u);
    EXPECT_EQ(t.avisos[0], "warning: --set tolt=2: tolt = 2 is not between 0 and 1 (the run stops when L1(R)i/L1(R)o "
                           "<= tolt)");
    const lido c = ler(arquivo, {{"tolt", "1e-8"}, {"caso", std::string(55, 'c')}});
    ASSERT_EQ(c.avisos.size(), 1u);
    EXPECT_EQ(c.avisos[0].rfind("warning: --set caso=ccc", 0), 0u) << c.avisos[0];
    EXPECT_NE(c.avisos[0].find("caso was cut to its first 50 characters"), std::string::npos);
    EXPECT_EQ(c.e.arquivo_listagem, std::string(50, 'c'));
    std::remove("alteracoes_avisos.ent");
}

TEST(Alteracoes, ErrosCitamAOpcao) {
    struct caso {
        const char* texto;
        const char* erro;
    };
    const caso casos[] = {
        {"nm=x", "invalid --set 'nm=x': nm = \"x\" is not an integer"},
        {"nm=0", "invalid --set 'nm=0': nm = 0, must be 1 to 31"},
        {"nxg=1", "invalid --set 'nxg=1': nxg(1) = 1, must be at least 2"},
        {"itmax=99999999999", "invalid --set 'itmax=99999999999': itmax = 99999999999 does not fit a 32-bit integer"},
        {"tolt=1.0q-6", "invalid --set 'tolt=1.0q-6': tolt = \"1.0q-6\" is not a real number"},
        {"titulo=a\nb", "invalid --set 'titulo=a\nb': titulo cannot hold a line end"},
        {"foo=1", "invalid --set 'foo=1': 'foo' is not a value of the input file (caso, nm, nxg"},
        {"nm", "invalid --set 'nm': write it as NAME=VALUE"}};
    for (const caso& c : casos) {
        alteracao_entrada a;
        const std::string erro = ler_alteracao(c.texto, a);
        EXPECT_EQ(erro.rfind(c.erro, 0), 0u) << erro;
    }
    alteracao_entrada a;
    EXPECT_EQ(ler_alteracao("titulo=x=y 'z'", a), "");
    EXPECT_EQ(a.valor, "x=y 'z'");
    // tamanhos que passam de 32 bits só se veem com a entrada: erro_fatal que cita a última opção de tamanho
    const std::string arquivo = gravar(base, "alteracoes_erros.ent");
    try {
        ler(arquivo, {{"nm", "31"}, {"nxg", "5000"}});
        ADD_FAILURE() << "aceitou";
    } catch (const erro_fatal& x) {
        EXPECT_EQ(std::string(x.what()).rfind("--set nxg=5000: nm = 31, nxg(1) = 5000 and nyg(1) = 3 give nxyg(10) = 2623476225", 0), 0u)
            << x.what();
    }
    std::remove("alteracoes_erros.ent");
}
