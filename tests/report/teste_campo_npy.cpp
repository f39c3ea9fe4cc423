// O campo em .npy: o cabeçalho como o numpy o escreve, os valores em little-endian na ordem de armazenamento, os
// nomes ao lado e a descrição.
#include <bit>
#include <cstdint>

#include "auxiliar.h"
#include "report/campo_npy.h"

TEST(campo_npy, cabecalho_como_o_do_numpy) {
    // np.save de um array (2, 3) de float64 escreve exatamente isto: 118 bytes de dicionário, 128 ao todo
    const std::string c = cabecalho_npy(2, 3);
    const std::string dicionario = "{'descr': '<f8', 'fortran_order': False, 'shape': (2, 3), }";
    ASSERT_EQ(c.size(), 128u);
    EXPECT_EQ(c.substr(0, 10), std::string("\x93NUMPY\x01\x00\x76\x00", 10));
    EXPECT_EQ(c.substr(10, dicionario.size()), dicionario);
    EXPECT_EQ(c.find_first_not_of(' ', 10 + dicionario.size()), 127u);
    EXPECT_EQ(c.back(), '\n');
    for (const auto& [ny, nx] : {std::pair{1025LL, 1025LL}, {3LL, 2LL}, {123456789LL, 2LL}})
        EXPECT_EQ(cabecalho_npy(ny, nx).size() % 64, 0u);
}

TEST(campo_npy, valores_em_little_endian_linha_a_linha) {
    // 3 x 2 pontos, índices 1..6 (o 0 não é do campo)
    const std::vector<double> campo = {99.0, 1.0, -2.5, 0.1, -0.0, 1e300, 5e-324};
    saida_texto s;
    escrever_campo_npy(s, campo, 3, 2);
    ASSERT_EQ(s.texto.size(), 128u + 6 * 8);
    EXPECT_NE(s.texto.find("'shape': (2, 3)"), std::string::npos);
    for (int k = 0; k < 6; ++k) {
        std::uint64_t u = 0;
        for (int b = 7; b >= 0; --b) u = u << 8 | static_cast<unsigned char>(s.texto[128 + 8 * k + b]);
        EXPECT_TRUE(mesmos_bits(std::bit_cast<double>(u), campo[k + 1])) << k;
    }
    EXPECT_EQ(s.texto.substr(128, 8), std::string("\x00\x00\x00\x00\x00\x00\xf0\x3f", 8)); // 1.0
}

TEST(campo_npy, nomes_ao_lado) {
    EXPECT_EQ(arquivo_do_erro("campo.npy"), "campo-erro.npy");
    EXPECT_EQ(arquivo_do_erro("d/campo"), "d/campo-erro.npy");
    EXPECT_EQ(arquivo_do_erro(".npy"), ".npy-erro.npy");
    EXPECT_EQ(arquivo_da_descricao("campo.npy"), "campo.npy.json");
}

TEST(campo_npy, descricao_diz_a_forma_o_problema_e_o_operador) {
    estado_execucao e = estado_de(entrada(2, 3, 5, "0", 3, 1, 1));
    e.caso = "a\"b\x01";
    e.hist = {4.0, 0.5};
    e.niter = 1;
    metodo_solver m;
    m.eps = 0.01;
    const std::string d = descricao_campo(e, efetivo(e, m));
    for (const char* parte : {"\"format\": \"placa field\"", "\"version\": 1", "\"shape\": [9, 5]",
                              "\"problem\": \"linear\"", "\"eps\": 0.01", "\"coefficient\": \"constant\"",
                              "\"caso\": \"a\\\"b\\u0001\"", "\"niter\": 1", "\"L1\": 0.5"})
        EXPECT_NE(d.find(parte), std::string::npos) << parte << "\n" << d;
}
