// Destinos da rodada conferidos antes da solução: cada um pode ser escrito, nenhum é a entrada e dois nunca são o
// mesmo arquivo; uma rodada longa não descobre no fim que não tinha onde gravar.
#include <cerrno>
#include <vector>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "run/erro_fatal.h"
#include "run/execucao.h"

namespace {

struct destino {
    std::string arquivo, canal, descricao;
};

std::vector<destino> destinos_da_rodada(const estado_execucao& e, const opcoes_execucao& o) {
    std::vector<destino> d{{sem_brancos_finais(e.caso), "unit 10", "listing"}};
    if (!o.csv.empty() && o.csv != "-") d.push_back({o.csv, "--csv", "--csv file"});
    if (!o.resumo.empty()) d.push_back({o.resumo, "--summary", "--summary file"});
    if (!o.grafico.empty()) {
        const arquivos_graficos a = arquivos_de_graficos(o.grafico);
        for (const std::string* f : {&a.dados_convergencia, &a.dados_campo, &a.roteiro, &a.figura_convergencia,
                                     &a.figura_campo})
            d.push_back({*f, "--plot", "--plot file"});
    }
    return d;
}

bool tem_controle(const std::string& s) {
    for (unsigned char c : s)
        if (c < 32 || c == 127) return true;
    return false;
}

} // namespace

void conferir_destinos(const estado_execucao& e, const opcoes_execucao& o) {
    if (sem_brancos_finais(e.caso).empty()) throw erro_fatal("cannot open unit 10: the listing name (caso) is empty");
    if (!o.grafico.empty() && tem_controle(e.caso))
        throw erro_fatal("caso = " + texto_simples(e.caso) + " holds a control character, which cannot go into "
                         "the --plot titles");
    const std::vector<destino> d = destinos_da_rodada(e, o);
    for (const destino& x : d) {
        if (falha_arquivo f = examinar_destino(x.arquivo)) falha_de_arquivo("cannot open", x.canal, x.arquivo, f);
        if (x.canal == "--summary" && destino_especial(x.arquivo))
            falha_de_arquivo("cannot open", x.canal, x.arquivo, {EINVAL, "not a regular file"});
    }
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
}
