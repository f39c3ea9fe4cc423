// O documento de --json: textos sempre UTF-8 válido e escapados, números exatos, null para o que não se aplica ou
// não é finito (a norma de uma rodada que divergiu), as colunas do resumo com os mesmos nomes e valores.
#include <cmath>
#include <cstdlib>
#include <limits>

#include <gtest/gtest.h>

#include "analysis/analise.h"
#include "auxiliar.h"
#include "report/json.h"
#include "report/listagem.h"
#include "solver/solver.h"

namespace {

std::string documento(const dados_json& d) {
    saida_texto s;
    escrever_json(d, s);
    return s.texto;
}

} // namespace

TEST(Json, TextosEscapadosEUtf8Valido) {
    EXPECT_EQ(texto_json("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(texto_json("l1\nl2\r\t"), "\"l1\\nl2\\r\\t\"");
    EXPECT_EQ(texto_json(std::string("\x01\x1b\x7f", 3)), "\"\\u0001\\u001b\\u007f\"");
    EXPECT_EQ(texto_json(std::string("\0x", 2)), "\"\\u0000x\"");
    // UTF-8 válido passa como está; um byte Latin-1 solto (o é de "método" lido de um arquivo velho) vira U+FFFD
    EXPECT_EQ(texto_json("m\xc3\xa9todo \xe2\x82\xac"), "\"m\xc3\xa9todo \xe2\x82\xac\"");
    EXPECT_EQ(texto_json("m\xe9todo"), "\"m\xef\xbf\xbdtodo\"");
    EXPECT_EQ(texto_json("\xc3"), "\"\xef\xbf\xbd\""); // sequência cortada no fim
}

TEST(Json, NumerosExatosENullParaONaoFinito) {
    for (double v : {0.1, 1.0 / 3.0, 2599.2116192278686, 5e-324, 1.7976931348623157e308, 1e-8, 1e300}) {
        const std::string s = numero_json(v);
        EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
    }
    EXPECT_EQ(numero_json(-0.0), "-0");
    EXPECT_EQ(numero_json(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(numero_json(-std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(numero_json(std::numeric_limits<double>::quiet_NaN()), "null");
    // o valor de uma coluna: vazio é null; um número fora da gramática do JSON nunca passa como número
    EXPECT_EQ(valor_json(tipo_coluna::real, ""), "null");
    EXPECT_EQ(valor_json(tipo_coluna::real, "NaN"), "null");
    EXPECT_EQ(valor_json(tipo_coluna::real, "Inf"), "null");
    EXPECT_EQ(valor_json(tipo_coluna::real, "1e-08"), "1e-08");
    EXPECT_EQ(valor_json(tipo_coluna::real, ".5"), "null");
    EXPECT_EQ(valor_json(tipo_coluna::real, "01"), "null");
    EXPECT_EQ(valor_json(tipo_coluna::inteiro, "-12"), "-12");
    EXPECT_EQ(valor_json(tipo_coluna::numero_ou_texto, "solve"), "\"solve\"");
    EXPECT_EQ(valor_json(tipo_coluna::numero_ou_texto, "3"), "3");
    EXPECT_EQ(valor_json(tipo_coluna::texto, "3"), "\"3\"");
    EXPECT_EQ(valor_json(tipo_coluna::texto, "=1+1"), "\"=1+1\""); // sem o apóstrofo das planilhas
}

// Uma rodada que divergiu até o infinito: a norma, as razões e as cifras não finitas saem null, nunca nan ou inf.
TEST(Json, DivergenciaDaNullNuncaNanOuInf) {
    estado_execucao e = estado_de(entrada(2, 3, 3, "1e-6", 5, 1, 2));
    const metodo_efetivo m = efetivo(e);
    resolver_multigrid(e, m);
    ASSERT_GE(e.niter, 2);
    e.hist[1] = std::numeric_limits<double>::infinity();
    e.hist[2] = std::numeric_limits<double>::quiet_NaN();
    e.veredito_final = veredito::divergiu;
    cifras_rodada c = calcular_cifras(e, m);
    c.q_assintotico = std::numeric_limits<double>::infinity();
    const std::vector<erro_iteracao> erros(static_cast<std::size_t>(e.niter) + 1);
    const std::string j = documento({.e = e, .metodo = m, .cifras = c, .erros = erros,
                                     .memoria = {{"T", 100}, {"disponivel", -1}}});
    for (const char* proibido : {"nan", "NaN", "inf", "Inf"}) EXPECT_EQ(j.find(proibido), std::string::npos) << proibido;
    EXPECT_NE(j.find("\"L1(R)\": [" + numero_json(e.hist[0]) + ", null, null"), std::string::npos) << j;
    EXPECT_NE(j.find("\"q\": [null, null, null"), std::string::npos) << j;
    EXPECT_NE(j.find("\"q_assintotico\": null,"), std::string::npos) << j;
    EXPECT_NE(j.find("\"veredito\": \"divergiu\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"erro_algebrico_max\": [null, null"), std::string::npos) << j;
    EXPECT_NE(j.find("\"disponivel\": null"), std::string::npos) << j;
    EXPECT_NE(j.find("\"tempos\": null"), std::string::npos) << j; // sem tempos medidos
}

// As colunas do resumo são as chaves do documento, com os mesmos valores (os textos sem as aspas do CSV).
TEST(Json, AsColunasDoResumoSaoAsChaves) {
    estado_execucao e = estado_de("'a, \"b\" c'\n3\n3\n3\n1e-6\n50\n1\n1\n0\n0\n1\nT\n");
    metodo_solver ms;
    ms.ciclo = tipo_ciclo::W;
    const metodo_efetivo m = efetivo(e, ms);
    tempos_fases t;
    ajustes_solver a;
    a.tempos = &t;
    resolver_multigrid(e, m, a);
    const cifras_rodada c = calcular_cifras(e, m);
    const std::string j = documento({.e = e, .metodo = m, .cifras = c, .tempos = &t, .estudo = "s1"});
    const dados_da_linha d{e, c, m, proveniencia_da_rodada(e), "s1"};
    for (const coluna_resumo& col : colunas_do_resumo()) {
        const std::string chave = "\n    " + texto_json(col.nome) + ": " + valor_json(col.tipo, col.valor(d));
        EXPECT_NE(j.find(chave), std::string::npos) << col.nome << "\n" << j;
    }
    EXPECT_NE(j.find("\"caso\": \"a, \\\"b\\\" c\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"cycle\": \"W\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"classico\": false"), std::string::npos) << j;
    EXPECT_NE(j.find("\"nxg\": [3, 5, 9]"), std::string::npos) << j;
    EXPECT_NE(j.find("\"nivel\": [1, 2, 3]"), std::string::npos) << j;
    EXPECT_NE(j.find("\"iteracao\": [0, 1, "), std::string::npos) << j;
    EXPECT_TRUE(j.ends_with("}\n"));
}
