// Estudo paramétrico: listas das varreduras, nomes seguros, linhas de comando dos filhos, citação para o shell,
// resumo lido de volta e a tabela (parâmetros que variam, séries, ordem observada).
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "study/estudo.h"
#include "solver/solver.h"

namespace {

varredura var(const char* texto) {
    varredura v;
    const std::string erro = ler_varredura(texto, v);
    EXPECT_EQ(erro, "") << texto;
    return v;
}

std::string erro_de(const char* texto) {
    varredura v;
    return ler_varredura(texto, v);
}

// Um resumo com as colunas dadas e uma linha por vetor de valores.
resumo_lido resumo(const std::vector<std::string>& colunas, const std::vector<std::vector<std::string>>& linhas) {
    resumo_lido r(colunas);
    for (const auto& l : linhas) r.acrescentar(l);
    return r;
}

// Os seis primeiros campos da linha i (caso, nm, nx, ny, nitm, tolt).
std::vector<std::string> seis(const resumo_lido& r, std::size_t i) {
    std::vector<std::string> l = r.linha(i);
    l.resize(6);
    return l;
}

} // namespace

TEST(Estudo, ListasDasVarreduras) {
    EXPECT_EQ(var("nm=2:5").valores, (std::vector<std::string>{"2", "3", "4", "5"}));
    EXPECT_EQ(var("freq=-1:1").valores, (std::vector<std::string>{"-1", "0", "1"}));
    EXPECT_EQ(var("smoother=gs-lex,line-alt").valores, (std::vector<std::string>{"gs-lex", "line-alt"}));
    EXPECT_EQ(var("tolt=1e-8,1.0d-10").valores.size(), 2u);
    EXPECT_EQ(var("start=random:3,random").valores.size(), 2u);
    EXPECT_EQ(var("titulo=a b:c").valores, (std::vector<std::string>{"a b:c"})); // não é faixa: um texto
    EXPECT_EQ(var("fmg=0,1").valores.size(), 2u);
    struct caso {
        const char* texto;
        const char* erro;
    };
    for (const caso& c : {caso{"nm=5:2", "the range 5:2 is empty"}, caso{"nm=3,,4", "an empty value in the list"},
                          caso{"nm=", "an empty value"}, caso{"caso=a,b", "caso names the listings"},
                          caso{"foo=1", "'foo' is neither a value of the input file"},
                          caso{"smoother=sor", "invalid value 'sor' in --sweep smoother: must be gs-lex,"},
                          caso{"fmg=2", "invalid value '2' in --sweep fmg: must be 0 or 1"},
                          caso{"nm=0:2", "invalid value '0' in --sweep nm: nm = 0, must be 1 to 31"},
                          caso{"omega=1,2", "invalid value '2' in --sweep omega: must be a number above 0 and below 2"},
                          caso{"nitm=1,2,1", "the value '1' appears twice in --sweep nitm"},
                          caso{"nm", "write it as NAME=LIST"}, caso{"itmax=1:20000", "has more than 10000 values"}})
        EXPECT_NE(erro_de(c.texto).find(c.erro), std::string::npos) << c.texto << ": " << erro_de(c.texto);
}

TEST(Estudo, OpcoesQueUmEstudoExigeERecusa) {
    EXPECT_TRUE(opcoes_de({"--sweep", "nm=3,4", "--summary", "r.csv", "-j", "3", "--plot", "f"}).rodar);
    for (const std::vector<std::string>& a :
         {std::vector<std::string>{"--sweep", "nm=3"}, {"--sweep", "nm=3", "--summary", "r.csv", "-m"},
          {"--sweep", "nm=3", "--summary", "r.csv", "--csv", "h.csv"}, {"--sweep", "nm=3", "--summary", "r.csv", "--lfa"},
          {"--sweep", "nm=3", "--sweep", "nm=4", "--summary", "r.csv"},
          {"--sweep", "nm=3", "--set", "nm=4", "--summary", "r.csv"},
          {"--sweep", "smoother=gs-rb", "--smoother", "jacobi", "--summary", "r.csv"},
          {"--sweep", "nm=3", "--summary", "r.csv", "--commands", "--plot", "f"}, {"--commands"},
          {"--study-table", "r.csv", "--sweep", "nm=3"}, {"--study-table", "r.csv", "x.ent"},
          {"--sweep", "nitm=1:100", "--sweep", "freq=1:200", "--summary", "r.csv"}})
        EXPECT_EQ(opcoes_de(a).codigo, 2) << a[0] << " " << a[1];
    // mais de 10000 rodadas: com --commands a mensagem não sugere --commands
    opcoes_execucao o;
    o.resumo = "r.csv";
    o.varreduras = {var("nitm=1:100"), var("freq=1:200")};
    EXPECT_NE(conferir_opcoes_estudo(o).find("the study has more than 10000 runs"), std::string::npos);
    o.comandos = true;
    EXPECT_EQ(conferir_opcoes_estudo(o).find("--commands helps"), std::string::npos);
    EXPECT_NE(conferir_opcoes_estudo(o).find("--commands would print more than 10000 commands"), std::string::npos);
}

TEST(Estudo, NomesSegurosDasListagens) {
    const std::vector<varredura> v{var("nm=5,10"), var("smoother=gs-lex"), var("titulo=a'b,$(x)"), var("tolt=1e-8")};
    const std::string a = "0123456789";
    EXPECT_EQ(nome_da_rodada("exemplo1.lst", {v[0], v[1]}, {0, 0}, a), "exemplo1-nm5-smoothergs-lex-0123456789.lst");
    EXPECT_EQ(nome_da_rodada("ex.lst", v, {1, 0, 1, 0}, a), "e-nm10-smoothergs-lex-titulo2-tolt1-0123456789.lst");
    // o caso do usuário: o que não é seguro vira '_', as pastas ficam, nunca '-' no começo
    EXPECT_EQ(nome_da_rodada("-a b$`c/x.LST", {var("nm=3")}, {0}, a), "_a_b__c/x.LST-nm3-0123456789.lst");
    EXPECT_EQ(nome_da_rodada("ação.lst", {var("nm=3")}, {0}, a), "a____o-nm3-0123456789.lst");
    EXPECT_EQ(nome_da_rodada(".lst", {var("nm=3")}, {0}, a), "estudo-nm3-0123456789.lst");
    // longo demais para os 50 caracteres de caso: o nome do arquivo encurta, depois os valores; a assinatura fica
    EXPECT_EQ(nome_da_rodada(std::string(45, 'x') + ".lst", {var("nm=5,10")}, {1}, a), std::string(30, 'x') + "-nm10-0123456789.lst");
    const std::string n = nome_da_rodada("p/" + std::string(45, 'x') + ".lst", v, {1, 0, 1, 0}, a);
    EXPECT_EQ(n.size(), 50u);
    EXPECT_EQ(n.rfind("p/x-nm10-smoother", 0), 0u) << n;
    EXPECT_TRUE(n.ends_with("-0123456789.lst")) << n;
}

// A assinatura muda com qualquer valor ou opção, e só com eles: dois estudos diferentes nunca dão o mesmo nome.
TEST(Estudo, AssinaturaDosValores) {
    const estado_execucao e = estado_de(entrada(4, 3, 3, "1e-8", 50, 2, 2));
    const std::string s = assinatura_da_rodada(e, {}, false);
    EXPECT_EQ(s.size(), 10u);
    EXPECT_EQ(s, assinatura_da_rodada(estado_de(entrada(4, 3, 3, "1.0d-8", 50, 2, 2)), {}, false)); // o mesmo valor
    std::set<std::string> todas{s};
    for (const estado_execucao& x : {estado_de(entrada(4, 3, 3, "1e-8", 50, 2, 1)), estado_de(entrada(4, 3, 3, "1e-9", 50, 2, 2)),
                                     estado_de(entrada(4, 3, 5, "1e-8", 50, 2, 2)), estado_de(entrada(4, 3, 3, "1e-8", 51, 2, 2))})
        todas.insert(assinatura_da_rodada(x, {}, false));
    todas.insert(assinatura_da_rodada(e, {{"smoother", "gs-rb"}}, false));
    todas.insert(assinatura_da_rodada(e, {{"smoother", "gs-rb"}, {"pre", "1"}}, false));
    todas.insert(assinatura_da_rodada(e, {}, true));
    EXPECT_EQ(todas.size(), 8u);
    // a ordem das opções não importa
    EXPECT_EQ(assinatura_da_rodada(e, {{"pre", "1"}, {"smoother", "gs-rb"}}, false),
              assinatura_da_rodada(e, {{"smoother", "gs-rb"}, {"pre", "1"}}, false));
}

TEST(Estudo, RodadasELinhasDeComando) {
    const leitura_opcoes l = opcoes_de({"--sweep", "nitm=1,2", "--sweep", "fmg=0,1", "--sweep", "cycle=V,W", "--utf8",
                                        "--smoother", "gs-rb", "--set", "tolt=1e-9", "--summary", "r.csv", "-j", "3", "--", "-e.ent"});
    ASSERT_TRUE(l.rodar);
    estado_execucao base = estado_de(entrada(3, 3, 3, "1e-9", 50, 2, 2));
    base.arquivo_listagem = "ex.lst";
    const std::vector<rodada_estudo> r = planejar_estudo(l.opcoes, base, "id1");
    ASSERT_EQ(r.size(), 8u);
    // a primeira varredura no laço de fora; a assinatura separa as rodadas
    EXPECT_EQ(r[0].listagem.rfind("ex-nitm1-fmg0-cycleV-", 0), 0u) << r[0].listagem;
    EXPECT_EQ(r[1].listagem.rfind("ex-nitm1-fmg0-cycleW-", 0), 0u);
    EXPECT_EQ(r[7].listagem.rfind("ex-nitm2-fmg1-cycleW-", 0), 0u);
    EXPECT_GT(r[0].memoria, 0);
    EXPECT_EQ(r[0].argumentos, (std::vector<std::string>{"-n", "-j", "1", "--utf8", "--smoother", "gs-rb", "--cycle", "V",
                                                         "--set", "tolt=1e-9", "--set", "nitm=1", "--set",
                                                         "caso=" + r[0].listagem, "--summary", "r.csv", "--study-id",
                                                         "id1", "--"}));
    EXPECT_EQ(r[3].argumentos[6], "--fmg");
    EXPECT_EQ(r[3].alteracoes.back().valor, r[3].listagem);
    // os argumentos do filho são uma linha de comando válida
    std::vector<std::string> a = r[7].argumentos;
    a.pop_back(); // "--": a entrada vem depois
    const leitura_opcoes filho = opcoes_de(a);
    ASSERT_TRUE(filho.rodar);
    EXPECT_EQ(filho.opcoes.threads, 1);
    EXPECT_TRUE(filho.opcoes.metodo.fmg);
    EXPECT_EQ(filho.opcoes.metodo.ciclo, tipo_ciclo::W);
    EXPECT_EQ(filho.opcoes.alteracoes.size(), 3u);
    EXPECT_EQ(filho.opcoes.estudo, "id1");
    // a mesma varredura com outra opção: outros nomes (dois estudos no mesmo resumo não trocam listagens)
    const leitura_opcoes l2 = opcoes_de({"--sweep", "nitm=1,2", "--sweep", "fmg=0,1", "--sweep", "cycle=V,W", "--utf8",
                                         "--smoother", "gs-lex", "--set", "tolt=1e-9", "--summary", "r.csv"});
    const std::vector<rodada_estudo> r2 = planejar_estudo(l2.opcoes, base, "id2");
    for (std::size_t i = 0; i < r.size(); ++i) EXPECT_NE(r[i].listagem, r2[i].listagem);
    // um tamanho que passa de 32 bits: erro antes de qualquer filho
    const leitura_opcoes l3 = opcoes_de({"--sweep", "nm=30,31", "--set", "nxg=5000", "--summary", "r.csv"});
    EXPECT_THROW(planejar_estudo(l3.opcoes, base, "id3"), erro_fatal);
}

// Quantas rodadas de uma vez: sempre uma; depois até o máximo (processadores) e enquanto a soma dos planos de memória
// couber no que há.
TEST(Estudo, RodadasDeUmaVez) {
    EXPECT_TRUE(cabe_mais_uma(0, 0, 1000, 4, 10));   // nenhuma viva: a que não cabe recusa-se sozinha
    EXPECT_TRUE(cabe_mais_uma(1, 100, 100, 4, 250));
    EXPECT_FALSE(cabe_mais_uma(2, 200, 100, 4, 250)); // a memória
    EXPECT_FALSE(cabe_mais_uma(4, 0, 0, 4, -1));      // os processadores
    EXPECT_TRUE(cabe_mais_uma(3, 1LL << 50, 1LL << 50, 4, -1)); // memória que não se sabe
}

TEST(Estudo, CitacaoParaOShell) {
    EXPECT_EQ(citar_para_shell("nm=5"), "nm=5");
    EXPECT_EQ(citar_para_shell("/a/b-c_d.lst"), "/a/b-c_d.lst");
    EXPECT_EQ(citar_para_shell(""), "''");
    EXPECT_EQ(citar_para_shell("a b"), "'a b'");
    EXPECT_EQ(citar_para_shell("it's"), "'it'\\''s'");
    EXPECT_EQ(citar_para_shell("$(x)`y`\"z\";*?~"), "'$(x)`y`\"z\";*?~'");
    EXPECT_EQ(citar_para_shell("=x"), "'=x'");
    EXPECT_EQ(comando_de_shell("/d ir", {"/p", "-n", "titulo=a b"}), "cd '/d ir' && /p -n 'titulo=a b'");
    EXPECT_EQ(comando_de_shell("", {"p"}), "p");
}

TEST(Estudo, ResumoLidoDeVolta) {
    EXPECT_EQ(campos_csv("a,\"b, \"\"c\"\"\",,d\r"), (std::vector<std::string>{"a", "b, \"c\"", "", "d"}));
    const char* nome = "estudo_resumo.csv";
    std::FILE* f = std::fopen(nome, "wb");
    std::fputs("caso,nm,nx,ny,nitm,tolt,x\r\nr1,3,1,1,1,1,1\r\n", f);
    std::fclose(f);
    const long long meio = tamanho_do_resumo(nome);
    f = std::fopen(nome, "ab");
    // cabeçalhos de resumos juntados (desta versão e de uma anterior, mais curta), cada linha sob o seu
    std::fputs("caso,nm,nx,ny,nitm,tolt,x\r\ncaso,nm,nx,ny,nitm,tolt,\r\nr2,4,1,1,1,1,\r\n\"r,3\",5,2,2,2,2,\r\n", f);
    std::fclose(f);
    resumo_lido r = ler_resumo(nome);
    // as colunas guardadas: as desta versão que a tabela usa (x não é; as que faltam ficam vazias)
    EXPECT_EQ(std::vector<std::string>(r.colunas.begin(), r.colunas.begin() + 6),
              (std::vector<std::string>{"caso", "nm", "nx", "ny", "nitm", "tolt"}));
    EXPECT_EQ(std::find(r.colunas.begin(), r.colunas.end(), "x"), r.colunas.end());
    ASSERT_EQ(r.linhas(), 3u);
    EXPECT_EQ(seis(r, 1), (std::vector<std::string>{"r2", "4", "1", "1", "1", "1"}));
    EXPECT_EQ(seis(r, 2), (std::vector<std::string>{"r,3", "5", "2", "2", "2", "2"}));
    EXPECT_EQ(r.linha(2)[7], "");
    r = ler_resumo(nome, meio);
    ASSERT_EQ(r.linhas(), 2u);
    EXPECT_EQ(r.campo(0, 0), "r2");
    // o CSV de outra pessoa não é lido como resumo
    f = std::fopen(nome, "wb");
    std::fputs("aluno,nota\r\nAna,9\r\n", f);
    std::fclose(f);
    EXPECT_THROW(ler_resumo(nome), erro_fatal);
    std::remove(nome);
    EXPECT_EQ(tamanho_do_resumo(nome), 0);
}

namespace {

// O erro de ler um resumo com o cabeçalho desta versão e as linhas dadas (vazio se leu).
std::string erro_do_resumo(const std::vector<std::string>& linhas) {
    const char* nome = "estudo_defeito.csv";
    std::FILE* f = std::fopen(nome, "wb");
    std::fputs(cabecalho_resumo().c_str(), f);
    for (const std::string& l : linhas) std::fputs((l + "\r\n").c_str(), f);
    std::fclose(f);
    std::string erro;
    try {
        ler_resumo(nome);
    } catch (const erro_fatal& x) {
        erro = x.what();
    }
    std::remove(nome);
    return erro;
}

} // namespace

// Toda linha conferida: uma linha curta, algo que não é número, NaN, 1e400, aspas com um fim de linha e um veredito
// desconhecido são recusados com o número da linha; um texto protegido das planilhas volta sem o apóstrofo.
TEST(Estudo, ResumoConferidoLinhaALinha) {
    estado_execucao e = estado_de(entrada(2, 3, 3, "0.001", 50, 1, 1));
    e.caso = "=HYPERLINK(\"http://x\",\"y\")";
    resolver_multigrid(e, efetivo(e));
    e.veredito_final = veredito::convergiu;
    std::string certa = linha_resumo(e, cifras_rodada{}, efetivo(e), "-id");
    certa.resize(certa.size() - 2); // sem o CR LF
    EXPECT_EQ(certa.rfind("\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",2,", 0), 0u) << certa; // a fórmula não vive
    EXPECT_NE(certa.find(",'-id"), std::string::npos);
    EXPECT_EQ(erro_do_resumo({certa}), "");
    // campo a campo: caso é o 1, nm o 2, tolt o 6, razao_final o 10
    const auto trocar = [&](std::size_t campo, const std::string& valor) {
        std::vector<std::string> c = campos_csv(certa);
        c[campo - 1] = valor;
        std::string l;
        for (std::size_t i = 0; i < c.size(); ++i) l += (i ? "," : "") + (i == 0 ? texto_csv(c[i]) : c[i]);
        return l;
    };
    const auto coluna = [](const std::string& nome) {
        const std::vector<std::string> c = campos_csv(cabecalho_resumo());
        return static_cast<std::size_t>(std::find(c.begin(), c.end(), nome) - c.begin()) + 1;
    };
    struct caso {
        std::string linha, erro;
    };
    for (const caso& c : {caso{"r,4,1,1", "line 3: the row has 4 fields, the header"},
                          caso{trocar(2, "abc"), "line 3: column nm: 'abc' is not a number"},
                          caso{trocar(10, "NaN"), "line 3: column razao_final: 'NaN' is not a number"},
                          caso{trocar(6, "1e400"), "line 3: column tolt: '1e400' is beyond the largest double"},
                          caso{trocar(6, "0x1p3"), "line 3: column tolt: '0x1p3' is not a number"},
                          caso{"\"a", "line 3: a quoted field is not closed on its line"},
                          caso{trocar(coluna("veredito"), "talvez"),
                               "line 3: column veredito: 'talvez' is not one of convergiu"}}) {
        const std::string erro = erro_do_resumo({certa, c.linha});
        EXPECT_NE(erro.find("estudo_defeito.csv, " + c.erro), std::string::npos) << c.linha << "\n" << erro;
    }
    // lido de volta: sem o apóstrofo
    const char* nome = "estudo_volta.csv";
    std::FILE* f = std::fopen(nome, "wb");
    std::fputs((cabecalho_resumo() + certa + "\r\n").c_str(), f);
    std::fclose(f);
    const resumo_lido r = ler_resumo(nome);
    std::remove(nome);
    ASSERT_EQ(r.linhas(), 1u);
    EXPECT_EQ(r.campo(0, 0), "=HYPERLINK(\"http://x\",\"y\")");
    const std::size_t c = static_cast<std::size_t>(std::find(r.colunas.begin(), r.colunas.end(), "estudo") - r.colunas.begin());
    ASSERT_LT(c, r.colunas.size());
    EXPECT_EQ(r.campo(0, c), "-id");
    EXPECT_EQ(texto_csv("+1+2"), "'+1+2");
    EXPECT_EQ(texto_csv("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(texto_csv("'x"), "''x");
    EXPECT_EQ(texto_csv("a=b"), "a=b");
}

// Um resumo começado por uma versão anterior (cabeçalho mais curto): as linhas desta versão trazem o veredito e o
// estudo no fim, e eles são lidos.
TEST(Estudo, ResumoDeVersaoAnteriorComLinhasNovas) {
    const std::vector<std::string> atuais = campos_csv(cabecalho_resumo());
    std::string antigo;
    // a versão anterior: sem o veredito, o estudo e as três colunas da correção grossa
    for (std::size_t i = 0; i + 5 < atuais.size(); ++i) antigo += (i ? "," : "") + atuais[i];
    estado_execucao e = estado_de(entrada(2, 3, 3, "0.001", 50, 1, 1));
    resolver_multigrid(e, efetivo(e));
    e.veredito_final = veredito::estagnou;
    const char* nome = "estudo_antigo.csv";
    std::FILE* f = std::fopen(nome, "wb");
    std::fputs((antigo + "\r\n" + linha_resumo(e, cifras_rodada{}, efetivo(e), "s1")).c_str(), f);
    std::fclose(f);
    const resumo_lido r = ler_resumo(nome);
    std::remove(nome);
    ASSERT_EQ(r.linhas(), 1u);
    const tabela_estudo t = montar_tabela(r, {0}, {});
    EXPECT_EQ(t.linhas[0].veredito, "estagnou");
}

// Resumos escritos pelas versões anteriores, com os nomes de antes (suavizador, restricao, ...) e sem as colunas
// novas, juntados num arquivo com linhas desta versão: cada linha lida sob o seu cabeçalho, pelos nomes de hoje.
TEST(Estudo, ResumosComOsNomesDeAntes) {
    // o cabeçalho de antes da tabela das colunas (com o problema) e o de antes do problema
    const std::string antes =
        "caso,nm,nx,ny,nitm,tolt,problema,tipo_ci,niter,razao_final,qmed_final,cpu_s,relogio_s,erro_max,erro_medio,"
        "convergiu,data_hora,ciclo,fmg,pre,pos,grosso,suavizador,omega,restricao,inicio,mu_lfa,rho_lfa,q_assintotico,r2,"
        "trabalho_ciclo,q_por_trabalho,erro_algebrico_max,erro_discretizacao_max,digitos_por_trabalho,"
        "transferencias_ciclo,ajuste_de,ajuste_ate,piso,erro_algebrico_medio,erro_discretizacao_medio,itmax";
    const std::string linha = "a%d.lst,3,7,7,2,1e-08,2,0,9,1e-09,0.1,0.01,0.01,0.001,0.0001,1,2026-12-08T14:05:09,W,0,"
                              "2,2,solve,%s,1,full,tipo_ci,0.25,0.05,0.06,0.99,5,0.5,1e-12,0.001,0.3,2,2,9,,1e-13,0.0001,"
                              "50";
    const auto linha_de = [&](int n, const char* suavizador) {
        char b[512];
        std::snprintf(b, sizeof b, linha.c_str(), n, suavizador);
        return std::string(b);
    };
    estado_execucao e = estado_de(entrada(3, 3, 3, "1e-8", 50, 2, 2));
    const metodo_solver jacobi = opcoes_de({"--smoother", "jacobi", "--cycle", "W"}).opcoes.metodo;
    resolver_multigrid(e, efetivo(e, jacobi));
    e.veredito_final = veredito::convergiu;
    const std::string nova = linha_resumo(e, cifras_rodada{}, efetivo(e, jacobi), "s2");
    const char* nome = "estudo_nomes_de_antes.csv";
    std::FILE* f = std::fopen(nome, "wb");
    std::fputs((antes + ",eps,coeficiente,problema_efetivo,veredito,estudo\r\n" + linha_de(1, "gs-lex") +
                ",1,constant,sinusoidal,convergiu,s0\r\n" + nova + antes + ",veredito,estudo\r\n" +
                linha_de(2, "gs-rb") + ",estagnou,s1\r\n")
                   .c_str(),
               f);
    std::fclose(f);
    const resumo_lido r = ler_resumo(nome);
    std::remove(nome);
    ASSERT_EQ(r.linhas(), 3u);
    const auto campo = [&](std::size_t l, const std::string& c) {
        const auto i = std::find(r.colunas.begin(), r.colunas.end(), c);
        return i == r.colunas.end() ? std::string("?") : std::string(r.campo(l, static_cast<std::size_t>(i - r.colunas.begin())));
    };
    for (const char* velho : {"suavizador", "ciclo", "grosso", "restricao", "inicio", "pos", "coeficiente"})
        EXPECT_EQ(std::find(r.colunas.begin(), r.colunas.end(), velho), r.colunas.end()) << velho;
    EXPECT_EQ(campo(0, "smoother"), "gs-lex");
    EXPECT_EQ(campo(1, "smoother"), "jacobi");
    EXPECT_EQ(campo(2, "smoother"), "gs-rb");
    EXPECT_EQ(campo(0, "coarsest"), "solve");
    EXPECT_EQ(campo(2, "cycle"), "W");
    EXPECT_EQ(campo(0, "problem"), "sinusoidal");
    // o que faltava às versões anteriores é o que elas faziam: eps 1, coeficiente constante, o problema da entrada,
    // nxg(1) e nyg(1) de nx, ny e nm
    EXPECT_EQ(campo(2, "problem"), "sinusoidal");
    EXPECT_EQ(campo(2, "eps"), "1");
    EXPECT_EQ(campo(2, "coefficient"), "constant");
    // e a correção grossa de sempre, que a rodada nova escreve: nenhuma delas varia entre as linhas
    EXPECT_EQ(campo(0, "coarse-operator"), "rediscretize");
    EXPECT_EQ(campo(2, "interpolation"), "bilinear");
    EXPECT_EQ(campo(1, "coarsening"), "full");
    EXPECT_EQ(campo(2, "coarsening"), "full");
    EXPECT_EQ(campo(1, "krylov"), "none");
    EXPECT_EQ(campo(0, "post-order"), "same");
    EXPECT_EQ(campo(2, "post-order"), "same");
    EXPECT_EQ(campo(0, "nxg"), "3");
    EXPECT_EQ(campo(2, "nyg"), "3");
    EXPECT_EQ(campo(1, "nxg"), "3");
    EXPECT_EQ(campo(2, "estudo"), "s1");
    // a rodada nova difere no coarsest (nitm), no suavizador, em omega e na restrição; o resto é o mesmo
    const tabela_estudo t = montar_tabela(r, {0, 1, 2}, {});
    EXPECT_EQ(t.parametros, (std::vector<std::string>{"coarsest", "smoother", "omega", "restriction"}));
    EXPECT_EQ(t.linhas[2].veredito, "estagnou");
    // sem as colunas da LFA de k níveis: sem cifra; mu e rho lidos
    EXPECT_EQ(t.linhas[0].mu_lfa, 0.25);
    EXPECT_EQ(t.linhas[2].rho_lfa, 0.05);
    for (double k : t.linhas[0].rho_lfa_k) EXPECT_TRUE(std::isnan(k));
}

TEST(Estudo, TabelaParametrosSeriesEOrdem) {
    // nm x smoother; nx e ny seguem nm; pre segue nitm (constante aqui); erro de discretização ~ h^2 exato
    const std::vector<std::string> col{"caso", "nm", "nx", "ny", "nitm", "pre", "smoother", "niter", "convergiu",
                                       "q_assintotico", "rho_lfa", "erro_discretizacao_max", "cpu_s"};
    std::vector<std::vector<std::string>> l;
    for (int nm = 3; nm <= 5; ++nm)
        for (const char* s : {"gs-lex", "gs-rb"}) {
            const int n = (1 << (nm - 1)) - 1; // incógnitas por direção com nxg(1) = 3
            const double h = 1.0 / (n + 1);
            char e[32];
            std::snprintf(e, sizeof e, "%.17g", 0.3 * h * h);
            l.push_back({"r" + std::to_string(l.size()), std::to_string(nm), std::to_string(n), std::to_string(n), "2", "2",
                         s, "7", "1", "0.1", "0.2", e, "0.5"});
        }
    std::vector<std::size_t> todas{0, 1, 2, 3, 4, 5};
    tabela_estudo t = montar_tabela(resumo(col, l), todas, {"nm", "smoother"});
    EXPECT_EQ(t.parametros, (std::vector<std::string>{"nm", "smoother", "nx", "ny"}));
    EXPECT_EQ(t.eixo, "nm");
    EXPECT_TRUE(t.eixo_numerico);
    EXPECT_EQ(t.x, (std::vector<double>{3, 3, 4, 4, 5, 5}));
    ASSERT_EQ(t.series_eixo.size(), 2u); // nx e ny seguem nm: a série é só o suavizador
    EXPECT_EQ(t.series_eixo[1].rotulo, "smoother=gs-rb");
    EXPECT_EQ(t.series_eixo[1].linhas, (std::vector<std::size_t>{1, 3, 5}));
    ASSERT_EQ(t.series_grade.size(), 1u); // o erro de discretização não depende do suavizador
    EXPECT_TRUE(std::isnan(t.linhas[0].ordem));
    for (std::size_t i = 2; i < 6; ++i) EXPECT_NEAR(t.linhas[i].ordem, 2.0, 1e-12) << i;
    EXPECT_NEAR(t.series_grade[0].inclinacao, 2.0, 1e-12);
    EXPECT_EQ(t.linhas[4].h, 1.0 / 16);
    EXPECT_EQ(t.linhas[5].q_assintotico, 0.1);
    EXPECT_EQ(t.linhas[5].veredito, "convergiu"); // um resumo de antes do veredito: a coluna convergiu
    // eixo de rótulos: o suavizador primeiro; nm, nx e ny viram a série (nx e ny seguem nm: só nm no rótulo)
    t = montar_tabela(resumo(col, l), todas, {"smoother", "nm"});
    EXPECT_FALSE(t.eixo_numerico);
    EXPECT_EQ(t.rotulos_x, (std::vector<std::string>{"gs-lex", "gs-rb"}));
    EXPECT_EQ(t.x, (std::vector<double>{1, 2, 1, 2, 1, 2}));
    ASSERT_EQ(t.series_eixo.size(), 3u);
    EXPECT_EQ(t.series_eixo[0].rotulo, "nm=3");
    // só ny varia: h = 1/(ny+1); nada de grade varia: sem séries de grade nem ordem
    for (std::size_t i = 0; i < l.size(); ++i) l[i][2] = "7";
    t = montar_tabela(resumo(col, l), {0, 2, 4}, {});
    EXPECT_EQ(t.linhas[2].h, 1.0 / 16);
    EXPECT_NEAR(t.linhas[2].ordem, 2.0, 1e-12);
    t = montar_tabela(resumo(col, l), {0, 1}, {});
    EXPECT_EQ(t.parametros, (std::vector<std::string>{"smoother"}));
    EXPECT_TRUE(t.series_grade.empty());
    // a tabela impressa: uma linha por rodada, a ordem só quando a grade varia
    t = montar_tabela(resumo(col, l), todas, {"nm"});
    t.resumo = "r.csv";
    const std::string texto = texto_tabela_estudo(t);
    EXPECT_EQ(texto.rfind("estudo: 6 rodadas, resumo em r.csv\n", 0), 0u) << texto;
    EXPECT_NE(texto.find("  ordem\n"), std::string::npos) << texto;
    EXPECT_NE(texto.find("   2.00\n"), std::string::npos) << texto;
    EXPECT_NE(texto.find("  niter   veredito  q_assintotico  rho_lfa  q/rho  trabalho_ciclo  q_por_trabalho  cpu_s"),
              std::string::npos)
        << texto;
    // com a coluna do veredito, ela vale
    std::vector<std::string> col2 = col;
    col2.push_back("veredito");
    for (auto& x : l) x.push_back("estagnou");
    EXPECT_EQ(montar_tabela(resumo(col2, l), {0}, {}).linhas[0].veredito, "estagnou");
}
