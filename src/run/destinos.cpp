// Destinos da rodada conferidos antes da solução: cada um pode ser escrito, nenhum é a entrada e dois nunca são o
// mesmo arquivo; uma rodada longa não descobre no fim que não tinha onde gravar.
#include <cerrno>
#include <fstream>
#include <utility>
#include <vector>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "run/execucao.h"
#include "run/leitor.h"
#include "run/reinicio.h"

namespace {

struct destino {
    std::string arquivo, canal, descricao;
};

std::vector<destino> destinos_da_rodada(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& m) {
    std::vector<destino> d{{e.arquivo_listagem, "unit 10", "listing"}};
    if (!o.csv.empty() && o.csv != "-") d.push_back({o.csv, "--csv", "--csv file"});
    if (!o.json.empty() && o.json != "-") d.push_back({o.json, "--json", "--json file"});
    if (!o.resumo.empty()) d.push_back({o.resumo, "--summary", "--summary file"});
    if (!o.grafico.empty())
        for (const std::string& f :
             arquivos_de_graficos(o.grafico, o.formato_grafico,
                                  m.operador_variavel ? mapa_coeficiente::com : mapa_coeficiente::sem).todos())
            d.push_back({f, "--plot", "--plot file"});
    for (const std::string& f : arquivos_do_campo(o)) d.push_back({f, "--save-field", "--save-field file"});
    return d;
}

} // namespace

void conferir_resumo(const std::string& arquivo) {
    if (falha_arquivo f = examinar_destino(arquivo)) falha_de_arquivo("cannot open", "--summary", arquivo, f);
    if (destino_especial(arquivo))
        falha_de_arquivo("cannot open", "--summary", arquivo, {EINVAL, "not a regular file"});
    // outro arquivo (os dados de alguém, uma listagem) não ganha linhas
    std::ifstream f(arquivo, std::ios::binary);
    std::string inicio(64, '\0');
    f.read(inicio.data(), static_cast<std::streamsize>(inicio.size()));
    inicio.resize(static_cast<std::size_t>(f.gcount()));
    if (!inicio.empty() && !cabecalho_de_resumo(inicio))
        falha_de_arquivo("cannot open", "--summary", arquivo,
                         {EINVAL, "it is not a placa summary (its first line is not the summary header); rows are "
                                  "only appended to a summary, so name a new file"});
}

void conferir_destinos(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo) {
    if (e.arquivo_listagem.empty()) throw erro_fatal("cannot open unit 10: the listing name (caso) is empty");
    for (const auto& [nome, texto] : {std::pair{"caso", &e.caso}, std::pair{"titulo", &e.titulo}})
        if (!o.grafico.empty() && tem_controle(*texto))
            throw erro_fatal(std::string(nome) + " = " + texto_simples(*texto) +
                             " holds a control character, which cannot go into the --plot titles");
    const std::vector<destino> d = destinos_da_rodada(e, o, metodo);
    for (const destino& x : d)
        if (falha_arquivo f = examinar_destino(x.arquivo)) falha_de_arquivo("cannot open", x.canal, x.arquivo, f);
    const identidade_arquivo entrada = identificar(o.entrada);
    std::vector<identidade_arquivo> ids;
    for (const destino& x : d) {
        ids.push_back(identificar(x.arquivo));
        if (mesmo_arquivo(ids.back(), entrada))
            throw erro_fatal("the " + x.descricao + " " + x.arquivo + " is the input file " + o.entrada +
                             "; nothing was solved");
    }
    // dois destinos especiais iguais (/dev/null duas vezes) não se estragam um ao outro
    for (std::size_t i = 0; i < d.size(); ++i)
        for (std::size_t j = i + 1; j < d.size(); ++j)
            if (mesmo_arquivo(ids[i], ids[j]) && !destino_especial(d[i].arquivo))
                throw erro_fatal("the " + d[i].descricao + " " + d[i].arquivo + " and the " + d[j].descricao + " " +
                                 d[j].arquivo + " are the same file; nothing was solved");
    // por último: a mensagem de um choque com a entrada ou com a listagem diz mais que "não é um resumo"
    if (!o.resumo.empty()) conferir_resumo(o.resumo);
}
