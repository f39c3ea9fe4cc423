// As tabelas dos componentes e das opções do método: cada linha ligada ao seu próprio núcleo, achada pelo seu nome,
// aceita pela linha de comando e pelo --sweep, e a linha de comando de uma rodada de estudo refaz o mesmo método.
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "report/listagem.h"
#include "state/opcoes_metodo.h"
#include "study/estudo.h"

namespace {

// Um nível 7 x 5 com interior e lado direito ao acaso (os mesmos a cada chamada).
struct nivel_ao_acaso {
    std::vector<double> u, f;
    vista_nivel v;
    nivel_ao_acaso() : u(36), f(36) {
        std::uint64_t s = 11;
        for (std::size_t i = 1; i < u.size(); ++i) u[i] = proximo_aleatorio(s), f[i] = proximo_aleatorio(s);
        v = vista_de(u, &f, 7, 5);
    }
};

// Um valor de cada opção que não é o padrão: uma opção nova sem valor aqui falha o teste.
const std::map<std::string, std::string> valores_de_teste = {
    {"cycle", "W"},        {"fmg", "1"},       {"pre", "3"},
    {"post", "0"},         {"coarsest", "solve"}, {"smoother", "line-y"},
    {"omega", "1.3"},      {"restriction", "full"}, {"start", "random:9"},
    {"eps", "0.01"},       {"coefficient", "random:1e3:7"}, {"problem", "sin:2:1"},
    {"coarse-operator", "galerkin"}, {"interpolation", "operator"}, {"coarsening", "y"},
    {"krylov", "gmres:7"}, {"post-order", "adjoint"}};

bool mesmo_metodo(const metodo_solver& a, const metodo_solver& b) {
    const coeficiente_difusao &ca = a.coeficiente, &cb = b.coeficiente;
    const definicao_problema &pa = a.problema, &pb = b.problema;
    return a.ciclo == b.ciclo && a.fmg == b.fmg && a.pre == b.pre && a.pos == b.pos && a.grosso == b.grosso &&
           a.grosso_exato == b.grosso_exato && a.suavizador == b.suavizador && mesmos_bits(a.omega, b.omega) &&
           a.restricao == b.restricao && a.inicio == b.inicio && a.semente == b.semente &&
           mesmos_bits(a.eps, b.eps) && ca.tipo == cb.tipo && mesmos_bits(ca.c, cb.c) && ca.m == cb.m &&
           ca.semente == cb.semente && pa.tipo == pb.tipo && pa.kx == pb.kx && pa.ky == pb.ky &&
           mesmos_bits(pa.f, pb.f) && a.operador_grosso == b.operador_grosso && a.interpolacao == b.interpolacao &&
           a.engrossamento == b.engrossamento && a.krylov.tipo == b.krylov.tipo &&
           a.krylov.reinicio == b.krylov.reinicio && a.ordem == b.ordem;
}

} // namespace

// Cada suavizador e cada restrição tem o seu núcleo: dois componentes ligados ao mesmo núcleo (ou trocados) dão o
// mesmo resultado num nível qualquer.
TEST(Componentes, CadaLinhaTemOSeuNucleo) {
    std::vector<std::vector<double>> resultados;
    for (const componente_suavizador& c : suavizadores()) {
        EXPECT_EQ(suavizador_de_nome(c.nome), &c) << c.nome;
        nivel_ao_acaso n;
        std::vector<double> rascunho(4096);
        nucleo(c.tipo)(n.v, {.omega = c.omega_padrao, .eq = nullptr, .rascunho = rascunho.data()}, 1);
        for (const auto& r : resultados) EXPECT_FALSE(mesmos_bits(r, n.u)) << c.nome << " repete outro suavizador";
        resultados.push_back(n.u);
    }
    resultados.clear();
    for (const componente_restricao& c : restricoes()) {
        EXPECT_EQ(restricao_de_nome(c.nome), &c) << c.nome;
        nivel_ao_acaso n;
        std::vector<double> grossa(16, 0.0), rascunho(64);
        nucleo(c.tipo)(n.v, abaixo(grossa.data(), 4, 3), rascunho.data());
        // a transposta da bilinear é a ponderação completa (teste_transferencias.cpp): só ela pode repetir
        if (c.tipo == tipo_restricao::transposta) continue;
        for (const auto& r : resultados) EXPECT_FALSE(mesmos_bits(r, grossa)) << c.nome << " repete outra restrição";
        resultados.push_back(grossa);
    }
    for (const componente_ciclo& c : ciclos()) EXPECT_EQ(ciclo_de_nome(c.nome), &c) << c.nome;
    // os nomes de cada tabela são únicos
    std::set<std::string> nomes;
    for (const componente_suavizador& c : suavizadores()) EXPECT_TRUE(nomes.insert(c.nome).second) << c.nome;
}

// Cada opção do método: aceita como --NOME VALOR, varrida por --sweep NOME=VALOR, com a sua coluna no resumo; a
// linha de comando que um estudo dá à rodada refaz exatamente o método da opção dada à mão.
TEST(Componentes, OpcoesDoMetodoDeAPontaAPonta) {
    std::string colunas, colunas_problema, colunas_grosso, colunas_posterior;
    for (const opcao_metodo& o : opcoes_do_metodo()) {
        SCOPED_TRACE(o.nome);
        const auto amostra = valores_de_teste.find(o.nome);
        ASSERT_NE(amostra, valores_de_teste.end()) << "sem valor de teste para --" << o.nome;
        const std::string& valor = amostra->second;
        std::string& c = o.grupo == grupo_opcao::metodo      ? colunas
                         : o.grupo == grupo_opcao::problema  ? colunas_problema
                         : o.grupo == grupo_opcao::posterior ? colunas_posterior
                                                             : colunas_grosso;
        c += (c.empty() ? "" : ",") + std::string(o.nome);
        const bool sem_valor = *o.valor == '\0';
        std::vector<std::string> a = {"--" + std::string(o.nome)};
        if (!sem_valor) a.push_back(valor);
        const leitura_opcoes direta = opcoes_de(a);
        ASSERT_TRUE(direta.rodar);
        EXPECT_FALSE(mesmo_metodo(direta.opcoes.metodo, metodo_solver{})) << "o valor de teste é o padrão";
        // o estudo: a rodada de --sweep NOME=VALOR, relida como o filho a leria
        const leitura_opcoes estudo = opcoes_de({"--sweep", std::string(o.nome) + "=" + valor, "--summary", "s.csv"});
        ASSERT_TRUE(estudo.rodar);
        const std::vector<rodada_estudo> r =
            planejar_estudo(estudo.opcoes, estado_de(entrada(2, 3, 3, "1e-6", 5, 1, 2)), "estudo-teste");
        ASSERT_EQ(r.size(), 1u);
        std::vector<std::string> argumentos = r[0].argumentos;
        ASSERT_EQ(argumentos.back(), "--"); // depois vem a entrada
        argumentos.pop_back();
        const leitura_opcoes filho = opcoes_de(argumentos);
        ASSERT_TRUE(filho.rodar);
        EXPECT_TRUE(mesmo_metodo(filho.opcoes.metodo, direta.opcoes.metodo));
        // um nome só: a coluna do resumo é o nome da opção (a de uma versão anterior é lida como ele)
        EXPECT_EQ(coluna_do_parametro(o.nome), o.nome);
        ASSERT_NE(coluna_do_resumo(o.nome), nullptr);
        EXPECT_EQ(nome_atual_da_coluna(o.coluna_antiga), o.nome);
        EXPECT_NE(texto_de_ajuda().find("--" + std::string(o.nome)), std::string::npos);
        // o valor efetivo que o resumo, o CSV e o JSON escrevem se digita de volta e dá o mesmo método
        estado_execucao e = estado_de(entrada(2, 3, 3, "1e-6", 5, 1, 2));
        const metodo_efetivo efetivo(direta.opcoes.metodo, e.nitm, e.nm, e.problema);
        const std::string escrito = o.efetivo(efetivo);
        ASSERT_FALSE(escrito.empty());
        metodo_solver relido;
        EXPECT_EQ(ler_opcao_metodo(o.nome, escrito.c_str(), relido), "") << escrito;
        EXPECT_EQ(o.efetivo(metodo_efetivo(relido, e.nitm, e.nm, e.problema)), escrito);
        EXPECT_TRUE(mesmo_metodo(relido, direta.opcoes.metodo)) << escrito;
    }
    EXPECT_EQ(colunas, cabecalho_colunas_metodo());
    EXPECT_EQ(colunas_problema, cabecalho_colunas_problema());
    EXPECT_EQ(colunas_grosso, cabecalho_colunas_grosso());
    EXPECT_EQ(colunas_posterior, cabecalho_colunas_posterior());
    // as colunas do problema vêm depois das antigas, antes do veredito, do estudo e das de --repeat (os scripts
    // leem as antigas pela posição)
    const std::string cab = cabecalho_resumo();
    EXPECT_NE(cab.find(",itmax," + colunas_problema + ",veredito,estudo,"), std::string::npos) << cab;
    // as da correção grossa e krylov vieram depois de todas, depois a LFA de k níveis e por fim as normas do
    // resíduo final; post-order fecha a linha
    EXPECT_TRUE(cab.ends_with(",relogio_s_max," + colunas_grosso +
                              ",rho_lfa_k2,rho_lfa_k3,rho_lfa_k4,l2_final,max_final,l2_krylov_final," +
                              colunas_posterior + "\r\n"))
        << cab;
}
