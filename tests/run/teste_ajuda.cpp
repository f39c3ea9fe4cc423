// O texto de --help: cada figura de --plot nomeada, cada opção numa linha só, o uso que diz o que o programa faz.
#include <string>

#include <gtest/gtest.h>

#include "report/listagem.h"
#include "run/opcoes.h"

// A ajuda: a linha de --plot nomeia toda figura que a rodada desenha, -j aparece uma vez só, a de --json existe e o
// uso diz mais que ciclos V.
TEST(Ajuda, NomeiaCadaFiguraEUmaVezCadaOpcao) {
    const std::string a = texto_de_ajuda();
    const arquivos_graficos g = arquivos_de_graficos("PREFIX", formato_figura::svg, mapa_coeficiente::com);
    for (const std::string& f : {g.figura_convergencia, g.figura_campo, g.figura_erro, g.figura_coeficiente, g.roteiro})
        EXPECT_NE(a.find(f), std::string::npos) << f;
    std::size_t linhas_j = 0;
    for (std::size_t i = 0; (i = a.find("\n  -j", i)) != std::string::npos; ++i) ++linhas_j;
    EXPECT_EQ(linhas_j, 1u) << a;
    EXPECT_NE(a.find("\n      --json FILE "), std::string::npos);
    EXPECT_NE(a.find("W or F cycles"), std::string::npos);
    for (const std::string& linha : {a.substr(0, a.find('\n'))}) EXPECT_EQ(linha, "Usage: placa [OPTIONS] [INPUT]");
}
