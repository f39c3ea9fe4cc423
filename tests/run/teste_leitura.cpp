// Leitura da entrada: regras dirigidas por lista, erros com linha e valor, UTF-8, avisos.
#include <gtest/gtest.h>

#include "auxiliar.h"
#include "state/erro_fatal.h"

namespace {

const char* exemplo =
    "ensaio1.lst                  caso\n"
    "4                            nm\n"
    "3                            nxg(1)\n"
    "5                            nyg(1)\n"
    "1.0d-8                       tolt\n"
    "50                           itmax\n"
    "2                            nitm\n"
    "2                            problema\n"
    "0                            tipo_ci\n"
    "0                            escreve\n"
    "1                            freq\n"
    "'Ensaio com quatro malhas'   titulo\n";

std::string com_fins_crlf(std::string s) {
    std::string r;
    for (char c : s) r += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return r;
}

// Mensagem do erro fatal de ler o texto.
std::string erro_de(const std::string& texto) {
    try {
        estado_de(texto, "dados.ent");
    } catch (const erro_fatal& x) {
        return x.what();
    }
    return "";
}

std::string com_linha(int n, const std::string& valor) {
    std::string s = exemplo, r;
    int linha = 1;
    std::size_t a = 0;
    for (std::size_t b; (b = s.find('\n', a)) != std::string::npos; a = b + 1, ++linha)
        r += (linha == n ? valor : s.substr(a, b - a)) + "\n";
    return r;
}

} // namespace

TEST(Leitura, ExemploComComentarios) {
    const estado_execucao e = estado_de(exemplo);
    EXPECT_EQ(e.caso, "ensaio1.lst" + std::string(39, ' '));
    EXPECT_EQ(e.nm, 4);
    EXPECT_EQ(e.tolt, 1.0e-8);
    EXPECT_EQ(e.itmax, 50);
    EXPECT_EQ(e.nitm, 2);
    EXPECT_EQ(e.problema, 2);
    EXPECT_EQ(e.tipo_ci, 0);
    EXPECT_EQ(e.escreve, 0);
    EXPECT_EQ(e.freq, 1);
    EXPECT_EQ(e.titulo, "Ensaio com quatro malhas" + std::string(66, ' '));
}

TEST(Leitura, FinsDeLinhaCrLfLemIgual) {
    const estado_execucao a = estado_de(exemplo);
    const estado_execucao b = estado_de(com_fins_crlf(exemplo));
    EXPECT_EQ(a.caso, b.caso);
    EXPECT_EQ(a.titulo, b.titulo);
    EXPECT_EQ(a.tolt, b.tolt);
    EXPECT_EQ(a.freq, b.freq);
    // valor sem comentário, colado ao CR
    const estado_execucao c = estado_de(com_fins_crlf(com_linha(1, "x.lst") + ""));
    EXPECT_EQ(c.caso.substr(0, 6), "x.lst ");
    EXPECT_EQ(estado_de(com_fins_crlf(com_linha(12, "Titulo"))).titulo.substr(0, 7), "Titulo ");
}

// A marca de ordem de bytes do Bloco de Notas não entra no caso; dois bytes que só começam como ela ficam.
TEST(Leitura, MarcaDeOrdemDeBytesPulada) {
    EXPECT_EQ(estado_de(std::string("\xEF\xBB\xBF") + exemplo).caso, estado_de(exemplo).caso);
    EXPECT_EQ(estado_de(std::string("\xEF\xBB\xBF\r\n") + exemplo).caso, estado_de(exemplo).caso);
    EXPECT_EQ(estado_de(com_linha(1, "\xEF\xBBx.lst")).caso.substr(0, 7), "\xEF\xBBx.lst");
    EXPECT_EQ(estado_de(com_linha(1, "a\xEF\xBB\xBF\xFF.lst")).caso.substr(0, 9), "a\xEF\xBB\xBF\xFF.lst");
}

TEST(Leitura, TextosComAspasEApostrofos) {
    EXPECT_EQ(estado_de(com_linha(12, "'D''Ávila, a/b'")).titulo.substr(0, 13), "D'\xC1vila, a/b ");
    EXPECT_EQ(estado_de(com_linha(12, "\"diz \"\"oi\"\"\" resto")).titulo.substr(0, 10), "diz \"oi\"  ");
    EXPECT_EQ(estado_de(com_linha(12, "Ensaio com quatro malhas")).titulo, "Ensaio" + std::string(84, ' '));
    EXPECT_EQ(estado_de(com_linha(1, "  'meu caso.lst'")).caso.substr(0, 13), "meu caso.lst ");
    EXPECT_EQ(estado_de(com_linha(1, "a,b")).caso.substr(0, 2), "a ");
    EXPECT_EQ(estado_de(com_linha(1, "a/b")).caso.substr(0, 2), "a ");
    // bytes Latin-1 passam sem mudança
    EXPECT_EQ(estado_de(com_linha(12, "'Condu\xe7\xe3o'")).titulo.substr(0, 8), "Condu\xe7\xe3o");
}

TEST(Leitura, TextosCortados) {
    const std::string longo(60, 'c');
    EXPECT_EQ(estado_de(com_linha(1, longo)).caso, std::string(50, 'c'));
    const std::string t = "'" + std::string(95, 't') + "'";
    EXPECT_EQ(estado_de(com_linha(12, t)).titulo, std::string(90, 't'));
}

TEST(Leitura, ReaisEInteiros) {
    EXPECT_EQ(estado_de(com_linha(5, "1.0D-6")).tolt, 1.0e-6);
    EXPECT_EQ(estado_de(com_linha(5, "1e-8")).tolt, 1.0e-8);
    EXPECT_EQ(estado_de(com_linha(5, "0.001")).tolt, 0.001);
    EXPECT_EQ(estado_de(com_linha(5, "2")).tolt, 2.0);
    EXPECT_EQ(estado_de(com_linha(5, "-.5d0")).tolt, -0.5);
    EXPECT_EQ(estado_de(com_linha(6, "+7")).itmax, 7);
    EXPECT_EQ(estado_de(com_linha(6, "-3")).itmax, -3);
    EXPECT_EQ(estado_de(com_linha(11, "2147483647")).freq, 2147483647);
}

TEST(Leitura, LinhasEmBrancoEntreValores) {
    std::string s = exemplo;
    s.insert(s.find("4    "), "\n   \n\t\n");
    const estado_execucao e = estado_de(s);
    EXPECT_EQ(e.nm, 4);
    EXPECT_EQ(e.freq, 1);
    // linhas depois do décimo segundo valor não são lidas
    EXPECT_EQ(estado_de(std::string(exemplo) + "lixo que nao e lido\n\x01\x02").nm, 4);
}

TEST(Leitura, ErrosNomeiamArquivoLinhaEValor) {
    EXPECT_EQ(erro_de(""), "end-of-file during read, unit 7, file dados.ent: caso missing (the file is empty)");
    std::string curto(exemplo);
    curto.resize(curto.find("2                            nitm"));
    EXPECT_EQ(erro_de(curto),
              "end-of-file during read, unit 7, file dados.ent: nitm missing (the file ends after line 6)");
    const std::string m = erro_de(com_linha(6, "cinquenta"));
    EXPECT_NE(m.find("list-directed input syntax error, unit 7, file dados.ent, line 6"), std::string::npos) << m;
    EXPECT_NE(m.find("itmax"), std::string::npos);
    EXPECT_NE(m.find("cinquenta"), std::string::npos);
    EXPECT_NE(erro_de(com_linha(5, "1.0q-3")).find("line 5"), std::string::npos);
    EXPECT_NE(erro_de(com_linha(5, "1e999")).find("value out of range"), std::string::npos);
    EXPECT_NE(erro_de(com_linha(6, "2147483648")).find("value out of range"), std::string::npos);
    EXPECT_NE(erro_de(com_linha(12, "'sem fim")).find("unterminated"), std::string::npos);
    EXPECT_NE(erro_de(com_linha(6, ",3")).find("line 6"), std::string::npos);
}

TEST(Leitura, TamanhosForaDoAlcance) {
    EXPECT_NE(erro_de(com_linha(2, "0")).find("nm = 0, must be 1 to 31"), std::string::npos);
    EXPECT_NE(erro_de(com_linha(2, "32")).find("nm = 32"), std::string::npos);
    EXPECT_NE(erro_de(com_linha(3, "1")).find("nxg(1) = 1, must be at least 2"), std::string::npos);
    EXPECT_NE(erro_de(com_linha(4, "-5")).find("nyg(1) = -5"), std::string::npos);
    const std::string m = erro_de(com_linha(2, "20"));
    EXPECT_NE(m.find("above the 32-bit limit"), std::string::npos) << m;
    // 46340 x 46340 pontos ainda cabem em 32 bits; 46341 x 46341 não
    EXPECT_EQ(estado_de(entrada(1, 46340, 46340, "0", 1, 1, 1)).nxyt, 2147395600);
    EXPECT_NE(erro_de(entrada(1, 46341, 46341, "0", 1, 1, 1)).find("nxyg(1) = 2147488281"), std::string::npos);
    // a soma dos níveis também
    EXPECT_NE(erro_de(entrada(2, 21000, 21000, "0", 1, 1, 1)).find("nxyt"), std::string::npos);
}

namespace {

// Os avisos que a leitura de `texto` devolve, cada um reduzido ao que vem depois de "line N: ".
std::vector<std::string> avisos_de(const std::string& texto) {
    estado_execucao e;
    std::string copia = texto;
    std::FILE* f = fmemopen(copia.data(), copia.size(), "r");
    std::vector<std::string> a = ler_valores(e, f, "t.ent");
    std::fclose(f);
    return a;
}

} // namespace

// Um título digitado num editor UTF-8 vira Latin-1 na listagem; o que o Latin-1 não tem vira '?', com aviso; o
// corte em 50 e 90 conta caracteres, não bytes.
TEST(Leitura, TextoUtf8ViraLatin1) {
    EXPECT_EQ(estado_de(com_linha(12, "'Condução térmica'")).titulo.substr(0, 16), "Condu\xe7\xe3o t\xe9rmica");
    EXPECT_EQ(estado_de(com_linha(1, "'custo_€.lst'")).caso.substr(0, 11), "custo_?.lst");
    std::string cinquenta;
    for (int i = 0; i < 50; ++i) cinquenta += "é";
    EXPECT_EQ(estado_de(com_linha(1, "'" + cinquenta + "'")).caso, std::string(50, '\xe9'));
    EXPECT_TRUE(avisos_de(com_linha(1, "'" + cinquenta + "'")).empty());
    const auto a = avisos_de(com_linha(1, "'" + cinquenta + "é'"));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_NE(a[0].find("line 1: caso was cut to its first 50 characters"), std::string::npos) << a[0];
    const auto b = avisos_de(com_linha(1, "'custo_€.lst'"));
    ASSERT_EQ(b.size(), 1u);
    EXPECT_NE(b[0].find("caso has 1 character(s) that Latin-1 lacks"), std::string::npos) << b[0];
}

// Enganos que as regras de leitura aceitam caladas ganham um aviso com a linha e o valor; a rodada segue.
TEST(Leitura, AvisosDeValoresSuspeitos) {
    EXPECT_TRUE(avisos_de(exemplo).empty());
    const struct {
        int linha;
        const char* valor;
        const char* aviso;
    } casos[] = {
        {5, "1,0e-8", "line 5: tolt = 1 is followed by ',0e-8' (a decimal comma?); the value read is 1"},
        {6, "5 0", "line 6: itmax = 5 is followed by '0' (a number split by a blank?)"},
        {1, "nope/x.lst", "line 1: caso was cut at '/' (quote the value to keep it whole); the name used is 'nope'"},
        {5, "1e8", "line 5: tolt = 1e8 is not between 0 and 1"},
        {5, "0", "line 5: tolt = 0 is not between 0 and 1"},
        {6, "0", "line 6: itmax = 0: no iteration will be done"},
        {7, "-1", "line 7: nitm = -1: no smoothing sweep will be done"},
        {8, "3", "line 8: problema = 3 is neither 1 (linear) nor 2 (sinusoidal)"},
        {9, "5", "line 9: tipo_ci = 5 is not 0, 1 or 2"},
        {10, "2", "line 10: escreve = 2 is neither 0 nor 1"},
    };
    for (const auto& c : casos) {
        const auto a = avisos_de(com_linha(c.linha, c.valor));
        ASSERT_FALSE(a.empty()) << c.valor;
        EXPECT_EQ(a[0].rfind("warning: t.ent, ", 0), 0u) << a[0];
        EXPECT_NE(a[0].find(c.aviso), std::string::npos) << a[0];
    }
    EXPECT_EQ(avisos_de(com_linha(5, "1,0e-8")).size(), 2u) << "vírgula decimal e tolt = 1";
    // comentários comuns e o tipo_ci 2 documentado não avisam
    EXPECT_TRUE(avisos_de(com_linha(9, "2   2=reinicio")).empty());
    EXPECT_TRUE(avisos_de(com_linha(2, "4   nm: quatro malhas")).empty());
}
