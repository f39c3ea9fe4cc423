// Campos de largura fixa: arredondamento ao par, expoentes, não finitos e asteriscos.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "report/listagem.h"

TEST(Cientifico, ExemplosDaLargura15) {
    EXPECT_EQ(cientifico(12.3456789, 15, 6), "   1.234568E+01");
    EXPECT_EQ(cientifico(0.000123, 15, 6), "   1.230000E-04");
    EXPECT_EQ(cientifico(1.0e-100, 15, 6), "   1.000000-100");
    EXPECT_EQ(cientifico(-2.5, 15, 6), "  -2.500000E+00");
    EXPECT_EQ(cientifico(1.0e-6, 17, 1), "          1.0E-06");
    EXPECT_EQ(cientifico(1.0e300, 15, 6), "   1.000000+300");
}

TEST(Cientifico, ArredondamentoSobeAPotencia) {
    EXPECT_EQ(cientifico(9.9999996, 15, 6), "   1.000000E+01");
    EXPECT_EQ(cientifico(0.0099999999, 15, 6), "   1.000000E-02");
    EXPECT_EQ(cientifico(9.9999996e-100, 15, 6), "   1.000000E-99");
    EXPECT_EQ(cientifico(9.9999994e-100, 15, 6), "   9.999999-100");
    EXPECT_EQ(cientifico(99.96, 17, 1), "          1.0E+02");
}

TEST(Cientifico, EmpateVaiAoPar) {
    // 1.25 e 1.75 são exatos em binário
    EXPECT_EQ(cientifico(1.25, 17, 1), "          1.2E+00");
    EXPECT_EQ(cientifico(1.75, 17, 1), "          1.8E+00");
    // 0.15 é um pouco menor que 0.15 em binário: arredonda para baixo
    EXPECT_EQ(cientifico(0.15, 17, 1), "          1.5E-01");
    EXPECT_EQ(cientifico(0.125, 17, 1), "          1.2E-01");
}

TEST(Cientifico, ZeroENaoFinitos) {
    EXPECT_EQ(cientifico(0.0, 15, 6), "   0.000000E+00");
    EXPECT_EQ(cientifico(-0.0, 15, 6), "   0.000000E+00");
    EXPECT_EQ(cientifico(std::nan(""), 15, 6), " NaN           ");
    EXPECT_EQ(cientifico(-std::nan(""), 15, 6), " NaN           ");
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(cientifico(inf, 15, 6), " Infinity      ");
    EXPECT_EQ(cientifico(-inf, 15, 6), " -Infinity     ");
    EXPECT_EQ(cientifico(-1e-300, 12, 6), "************");
    EXPECT_EQ(cientifico(5e-324, 15, 6), "   4.940656-324");
}

TEST(Fixo, LarguraQuatorze) {
    EXPECT_EQ(fixo(0.078125, 14, 3), "         0.078");
    EXPECT_EQ(fixo(1234.5678, 14, 3), "      1234.568");
    EXPECT_EQ(fixo(0.0625, 14, 3), "         0.062");
    EXPECT_EQ(fixo(0.1875, 14, 3), "         0.188");
    EXPECT_EQ(fixo(-0.5, 14, 3), "        -0.500");
    EXPECT_EQ(fixo(9999999999.9994, 14, 3), "9999999999.999");
    EXPECT_EQ(fixo(1e10, 14, 3), "**************");
}

TEST(Inteiro, LargurasEEstouro) {
    EXPECT_EQ(inteiro(0, 8), "       0");
    EXPECT_EQ(inteiro(-42, 11), "        -42");
    EXPECT_EQ(inteiro(99999999, 8), "99999999");
    EXPECT_EQ(inteiro(100000000, 8), "********");
    EXPECT_EQ(inteiro(1000, 3), "***");
    EXPECT_EQ(inteiro(-2147483647 - 1, 11), "-2147483648");
}

TEST(Textos, Latin1EAparar) {
    const std::string s = latin1("Iteração");
    EXPECT_EQ(s.size(), 8u);
    EXPECT_EQ(s, "Itera\xe7\xe3o");
    EXPECT_EQ(latin1("freqüência"), "freq\xfc\xeancia");
    EXPECT_EQ(texto_simples("  Placa  quadrada   "), "Placa  quadrada");
    EXPECT_EQ(texto_simples("     "), "");
}

TEST(DataHora, Exemplos) {
    EXPECT_EQ(texto_dia_de(7, 12, 2026), "(7/12/2026) ");
    EXPECT_EQ(texto_hora_de(14, 5, 9), "14:5:9  ");
    EXPECT_EQ(texto_dia_de(17, 12, 2026), "(17/12/2026)");
    EXPECT_EQ(texto_hora_de(14, 35, 29), "14:35:29");
    EXPECT_EQ(texto_dia_de(1, 4, 2027), "(1/4/2027)  ");
    EXPECT_EQ(texto_hora_de(9, 5, 3), "9:5:3   ");
    EXPECT_EQ(texto_dia_de(31, 1, 2027), "(31/1/2027) ");
    EXPECT_EQ(texto_hora_de(0, 0, 0), "0:0:0   ");
    EXPECT_EQ(texto_hora_de(12, 34, 5), "12:34:5 ");
    // ano de cinco dígitos: só os quatro primeiros cabem na casa
    EXPECT_EQ(texto_dia_de(1, 1, 12345), "(1/1/1234)  ");
}
