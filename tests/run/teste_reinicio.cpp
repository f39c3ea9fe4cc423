// O reinício: um campo salvo e continuado dá os mesmos bits que a rodada inteira; cada arquivo errado é recusado
// com o nome e o porquê.
#include "auxiliar.h"
#include "report/campo_npy.h"
#include "run/reinicio.h"
#include "state/erro_fatal.h"

namespace {

class reinicio : public diretorio_temporario {};

struct rodada {
    estado_execucao e;
    std::vector<double> hist, T;
};

// A rodada de `itmax` iterações (tolt = 0) com o método m, partindo de `partida` quando dada (tipo_ci = 2).
rodada resolver(int nm, int nxg1, int itmax, const metodo_solver& m, bool rapidos,
                std::span<const double> partida = {}) {
    rodada r{estado_de(entrada(nm, nxg1, nxg1, "0", itmax, 2, 2, partida.empty() ? 0 : 2)), {}, {}};
    ajustes_solver a;
    a.rapidos = rapidos;
    a.reinicio = partida;
    const metodo_efetivo me = efetivo(r.e, m);
    if (nm == 1) resolver_malha_unica(r.e, me, a);
    else resolver_multigrid(r.e, me, a);
    r.hist.assign(r.e.hist.begin(), r.e.hist.begin() + r.e.niter + 1);
    r.T = copia_de(r.e.T);
    return r;
}

// O campo e a descrição de uma rodada em `arquivo`, como --save-field os escreve.
void salvar(const rodada& r, const metodo_solver& m, const std::string& arquivo) {
    saida_texto campo, descricao;
    escrever_campo_npy(campo, r.e.T, r.e.nxg[r.e.nm], r.e.nyg[r.e.nm]);
    std::ofstream(arquivo, std::ios::binary) << campo.texto;
    std::ofstream(arquivo_da_descricao(arquivo), std::ios::binary) << descricao_campo(r.e, efetivo(r.e, m));
}

// A mensagem da recusa de ler_reinicio (vazia se aceitou).
std::string recusa(const estado_execucao& e, const metodo_solver& m, const std::string& arquivo) {
    try {
        ler_reinicio(e, efetivo(e, m), arquivo);
    } catch (const erro_fatal& x) {
        return x.what();
    }
    return {};
}

} // namespace

// N iterações, salvas, lidas e continuadas por mais N: hist(0) da continuação é hist(N) da rodada inteira, as
// seguintes são as dela, e o campo final tem os mesmos bits; com a passada rápida e com os laços simples.
TEST_F(reinicio, continuar_da_os_mesmos_bits_que_a_rodada_inteira) {
    constexpr int n = 4;
    metodo_solver w;
    w.ciclo = tipo_ciclo::W;
    w.suavizador = tipo_suavizador::gs_rb;
    metodo_solver variavel;
    variavel.coeficiente.tipo = tipo_coeficiente::salto;
    variavel.coeficiente.c = 10.0;
    const std::pair<int, metodo_solver> casos[] = {{1, {}}, {4, {}}, {4, w}, {4, variavel}};
    for (const auto& [nm, m] : casos)
        for (const bool rapidos : {true, false}) {
            SCOPED_TRACE("nm " + std::to_string(nm) + (rapidos ? " rapidos" : " simples"));
            const int nxg1 = nm == 1 ? 9 : 3;
            const rodada inteira = resolver(nm, nxg1, 2 * n, m, rapidos);
            ASSERT_EQ(inteira.hist.size(), 2u * n + 1);
            salvar(resolver(nm, nxg1, n, m, rapidos), m, "meio.npy");
            const rodada base = resolver(nm, nxg1, n, m, rapidos);
            const std::vector<double> partida = ler_reinicio(base.e, efetivo(base.e, m), "meio.npy");
            const rodada continuada = resolver(nm, nxg1, n, m, rapidos, partida);
            ASSERT_EQ(continuada.hist.size(), n + 1u);
            EXPECT_TRUE(mesmos_bits(std::vector<double>(inteira.hist.begin() + n, inteira.hist.end()), continuada.hist));
            EXPECT_TRUE(mesmos_bits(inteira.T, continuada.T));
        }
}

// tipo_ci = 2 sem campo dado (testes, bancos) parte do interior zero, como antes.
TEST_F(reinicio, sem_campo_o_interior_fica_zero) {
    const rodada zero = resolver(2, 3, 3, {}, true);
    rodada dois{estado_de(entrada(2, 3, 3, "0", 3, 2, 2, 2)), {}, {}};
    resolver_multigrid(dois.e, efetivo(dois.e), {});
    EXPECT_TRUE(mesmos_bits(zero.T, copia_de(dois.e.T)));
}

TEST_F(reinicio, arquivos_errados_sao_recusados_com_o_nome_e_o_porque) {
    const metodo_solver classico;
    const rodada r = resolver(2, 3, 2, classico, true); // 5 x 5
    salvar(r, classico, "bom.npy");
    const std::string bom = ler_arquivo("bom.npy"), descricao = ler_arquivo("bom.npy.json");
    EXPECT_EQ(recusa(r.e, classico, "bom.npy"), "");
    const auto com_descricao = [&](const std::string& nome, const std::string& bytes) {
        escrever(nome, bytes);
        escrever(nome + ".json", descricao);
    };
    const auto trocar = [](std::string s, const std::string& de, const std::string& para) {
        return s.replace(s.find(de), de.size(), para);
    };
    com_descricao("curto.npy", bom.substr(0, bom.size() - 8));
    com_descricao("texto.npy", "0 0 0\n");
    com_descricao("f4.npy", trocar(bom, "'<f8'", "'<f4'"));
    com_descricao("be.npy", trocar(bom, "'<f8'", "'>f8'"));
    com_descricao("fortran.npy", trocar(bom, "False", "True "));
    com_descricao("forma.npy", trocar(bom, "(5, 5)", "(1,25)"));
    com_descricao("tres.npy", trocar(bom, "(5, 5), ", "(5, 5, 1)"));
    com_descricao("versao.npy", trocar(bom, std::string("NUMPY\x01", 6), std::string("NUMPY\x04", 6)));
    com_descricao("chave.npy", trocar(bom, "'descr'", "'dtype'"));
    com_descricao("sobra.npy", bom + "x");
    std::string nan = bom;
    nan.replace(nan.size() - 8 * 13, 8, std::string("\x00\x00\x00\x00\x00\x00\xf8\x7f", 8));
    com_descricao("nan.npy", nan);
    escrever("sem_descricao.npy", bom);
    const std::pair<const char*, const char*> casos[] = {
        {"falta.npy", "No such file"},
        {"curto.npy", "truncated: 192 bytes of values where its shape (5, 5) needs 200"},
        {"texto.npy", "not a NumPy .npy file"},
        {"f4.npy", "'<f4', not float64 little-endian"},
        {"be.npy", "'>f8', not float64 little-endian"},
        {"fortran.npy", "Fortran order"},
        {"forma.npy", "shape (1, 25) is not this run's grid (ny, nx) = (5, 5)"},
        {"tres.npy", "3 dimensions"},
        {"versao.npy", "version 4.0"},
        {"chave.npy", "unknown key 'dtype'"},
        {"sobra.npy", "1 bytes after the values"},
        {"nan.npy", "[2, 2] is not finite"},
        {"sem_descricao.npy", "sem_descricao.npy.json (written beside it by --save-field) cannot be read"},
    };
    for (const auto& [arquivo, porque] : casos) {
        const std::string m = recusa(r.e, classico, arquivo);
        EXPECT_NE(m.find(std::string("from ") + arquivo + ": "), std::string::npos) << m;
        EXPECT_NE(m.find(porque), std::string::npos) << m;
    }
}

// A grade confere pela forma; o problema e o operador, pela descrição.
TEST_F(reinicio, outro_problema_ou_operador_e_recusado) {
    const metodo_solver classico;
    const rodada r = resolver(2, 3, 2, classico, true);
    salvar(r, classico, "c.npy");
    metodo_solver eps, salto, senos;
    eps.eps = 0.01;
    salto.coeficiente.tipo = tipo_coeficiente::salto;
    salto.coeficiente.c = 100.0;
    senos.problema.tipo = tipo_problema::senos;
    EXPECT_NE(recusa(r.e, eps, "c.npy").find("solved with --eps 1, this run has --eps 0.01"), std::string::npos);
    EXPECT_NE(recusa(r.e, salto, "c.npy").find("--coefficient constant, this run has --coefficient jump:100"),
              std::string::npos);
    EXPECT_NE(recusa(r.e, senos, "c.npy").find("--problem sinusoidal, this run has --problem sin:1:1"),
              std::string::npos);
    const rodada maior = resolver(2, 5, 1, classico, true); // 9 x 9
    EXPECT_NE(recusa(maior.e, classico, "c.npy").find("shape (5, 5) is not this run's grid (ny, nx) = (9, 9)"),
              std::string::npos);
    // a descrição que diz outra forma que o cabeçalho, ou que não é do placa
    std::string d = ler_arquivo("c.npy.json");
    escrever("c.npy.json", d.replace(d.find("[5, 5]"), 6, "[5, 4]"));
    EXPECT_NE(recusa(r.e, classico, "c.npy").find("another shape than the .npy header"), std::string::npos);
    escrever("c.npy.json", "{\"format\": \"outro\", \"version\": 1}");
    EXPECT_NE(recusa(r.e, classico, "c.npy").find("not a placa field description"), std::string::npos);
    escrever("c.npy.json", "{\"format\": \"placa field\",");
    EXPECT_NE(recusa(r.e, classico, "c.npy").find("is not valid"), std::string::npos);
}

TEST(objeto_json, le_textos_numeros_e_listas_e_recusa_o_resto) {
    std::map<std::string, valor_objeto_json> o;
    EXPECT_EQ(ler_objeto_json(" {\"a\": \"x\\\"\\u00e9\\n\", \"b\": -1.5e-3, \"c\": [3, 4], \"d\": null}\n", o), "");
    EXPECT_EQ(o["a"].texto, "x\"\xc3\xa9\n");
    EXPECT_EQ(o["b"].qual, valor_objeto_json::tipo::numero);
    EXPECT_EQ(o["b"].texto, "-1.5e-3");
    EXPECT_EQ(o["c"].itens, (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(o["d"].qual, valor_objeto_json::tipo::outro);
    for (const char* ruim : {"", "[1]", "{\"a\" 1}", "{\"a\": 1} x", "{\"a\": [1, 2}", "{\"a\": \"\\q\"}",
                             "{\"a\": \"sem fim}", "{\"a\": }"}) {
        std::map<std::string, valor_objeto_json> x;
        EXPECT_NE(ler_objeto_json(ruim, x), "") << ruim;
    }
}

// O nome padrão: o da listagem com a extensão trocada por .npy (acrescentada quando não há).
TEST(reinicio_nome, padrao_e_o_da_listagem) {
    estado_execucao e;
    opcoes_execucao o;
    for (const auto& [listagem, npy] : {std::pair{"ensaio1.lst", "ensaio1.npy"}, {"exemplo1", "exemplo1.npy"},
                                        {"dir.v2/caso", "dir.v2/caso.npy"}, {".lst", ".lst.npy"}}) {
        e.arquivo_listagem = listagem;
        EXPECT_EQ(arquivo_de_reinicio(e, o), npy);
    }
    o.reinicio = "outro.npy";
    EXPECT_EQ(arquivo_de_reinicio(e, o), "outro.npy");
}

namespace {
// Um inteiro em [0, n) do gerador do início aleatório.
std::size_t sorteio(std::uint64_t& s, std::size_t n) {
    return static_cast<std::size_t>((proximo_aleatorio(s) * 0.5 + 0.5) * static_cast<double>(n)) % n;
}
} // namespace

// Todo corte de um .npy e de uma descrição é recusado; bytes trocados ao acaso nunca passam com um tamanho que não
// bate com a forma (e, sob ASan/UBSan, nunca leem fora do texto).
TEST(reinicio_leitores, cortes_e_bytes_trocados) {
    saida_texto s;
    const std::vector<double> campo(1 + 3 * 4, 0.5);
    escrever_campo_npy(s, campo, 3, 4);
    const std::string npy = s.texto;
    estado_execucao e = estado_de(entrada(1, 3, 4, "0", 1, 1, 1));
    e.niter = 0;
    const std::string json = descricao_campo(e, efetivo(e));
    cabecalho_npy_lido c;
    ASSERT_EQ(ler_cabecalho_npy(npy, c), "");
    std::map<std::string, valor_objeto_json> o;
    ASSERT_EQ(ler_objeto_json(json, o), "");
    for (std::size_t n = 0; n < npy.size(); ++n) EXPECT_NE(ler_cabecalho_npy(npy.substr(0, n), c), "") << n;
    for (std::size_t n = 0; n + 2 < json.size(); ++n) { // sem o "}\n" final não há objeto
        std::map<std::string, valor_objeto_json> x;
        EXPECT_NE(ler_objeto_json(json.substr(0, n), x), "") << n;
    }
    std::uint64_t estado = 12345;
    for (int k = 0; k < 20000; ++k) {
        std::string a = npy.substr(0, 128), b = json; // só o cabeçalho é trocado
        for (int t = 0; t < 3; ++t) {
            a[sorteio(estado, a.size())] = static_cast<char>(sorteio(estado, 256));
            b[sorteio(estado, b.size())] = static_cast<char>(sorteio(estado, 256));
        }
        a += npy.substr(128);
        if (ler_cabecalho_npy(a, c).empty()) {
            EXPECT_EQ(c.inicio + static_cast<std::size_t>(c.ny * c.nx) * 8, a.size());
        }
        std::map<std::string, valor_objeto_json> x;
        (void)ler_objeto_json(b, x);
    }
}
