// O estudo paramétrico numa só linha de comando: cada combinação conferida antes de tudo, executada como um filho
// (o próprio programa, sem shell, até -j de uma vez), as linhas de todas no mesmo resumo, depois a tabela e os
// gráficos; ou, com --commands, um comando de shell por rodada; ou, com --study-table, a tabela de um resumo pronto.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "study/estudo.h"
#include "run/execucao.h"

namespace {

// Cada rodada lida como o filho a leria: um erro de entrada ou de tamanho aparece antes de qualquer filho.
void conferir_rodadas(const opcoes_execucao& o, const std::vector<rodada_estudo>& rodadas) {
    std::set<std::string> nomes;
    for (const rodada_estudo& r : rodadas) {
        try {
            estado_execucao e;
            ler_dados(e, {.arquivo = o.entrada, .editar = false, .alteracoes = r.alteracoes});
        } catch (const erro_fatal& x) {
            throw erro_fatal("the study run " + r.listagem + " cannot start: " + x.what() + "; nothing was run");
        }
        if (!nomes.insert(r.listagem).second)
            throw erro_fatal("two runs of the study would write the listing " + r.listagem + "; nothing was run");
    }
    conferir_resumo(o.resumo);
    if (!o.grafico.empty())
        for (const std::string& f : arquivos_de_graficos_estudo(o.grafico))
            if (falha_arquivo x = examinar_destino(f)) falha_de_arquivo("cannot open", "--plot", f, x);
}

// A tabela das linhas de `r` cujo caso é o de uma rodada terminada (a última linha de cada uma), na ordem das rodadas.
tabela_estudo tabela_das_rodadas(const opcoes_execucao& o, const resumo_lido& r, const std::vector<rodada_estudo>& rodadas,
                                 const std::vector<bool>& feitas) {
    // o caso é a primeira coluna de todo resumo (ler_resumo confere)
    std::map<std::string, std::size_t> ultima;
    for (std::size_t i = 0; i < r.linhas.size(); ++i) ultima[r.linhas[i][0]] = i;
    std::vector<std::size_t> escolhidas;
    for (std::size_t k = 0; k < rodadas.size(); ++k)
        if (const auto i = ultima.find(rodadas[k].listagem); feitas[k] && i != ultima.end()) escolhidas.push_back(i->second);
    std::vector<std::string> preferidos;
    for (const varredura& v : o.varreduras)
        if (const std::string col = coluna_do_parametro(v.nome); !col.empty()) preferidos.push_back(col);
    tabela_estudo t = montar_tabela(r, escolhidas, preferidos);
    t.resumo = o.resumo;
    return t;
}

// Tabela na saída padrão e, com --plot, os gráficos; 1 quando falta o gnuplot.
int mostrar(const opcoes_execucao& o, const tabela_estudo& t) {
    escrever_na_saida_padrao(texto_tabela_estudo(t));
    if (o.grafico.empty()) return 0;
    conjunto_saidas saidas;
    const bool desenhou = desenhar_graficos_estudo(t, o.grafico, saidas);
    const trava_de_conjunto trava(arquivos_de_graficos_estudo(o.grafico));
    saidas.efetivar();
    if (desenhou) return 0;
    escrever_mensagem("gnuplot not found, so the --plot figures were not drawn (install gnuplot-nox); the data and the "
                      "script " + nome_para_programa(o.grafico + ".gp") + " are written");
    return 1;
}

// Se a linha de `caso` entrou no resumo depois do byte `desde`. A linha e a listagem de uma rodada são efetivadas
// juntas, com os sinais adiados: um filho que morre pelo sinal depois disso deixou a rodada inteira.
bool rodada_gravada(const std::string& resumo, long long desde, const std::string& caso) {
    try {
        const resumo_lido r = ler_resumo(resumo, desde); // o caso é a primeira coluna
        return std::any_of(r.linhas.begin(), r.linhas.end(),
                           [&](const std::vector<std::string>& l) { return l[0] == caso; });
    } catch (const erro_fatal&) {
        return false;
    }
}

// Os filhos, até `de_uma_vez` ao mesmo tempo; devolve quais terminaram bem. Um sinal de término para os
// lançamentos, chega aos filhos vivos e, depois de esperá-los, termina o placa por ele.
std::vector<bool> executar_rodadas(const opcoes_execucao& o, const std::vector<rodada_estudo>& rodadas, long long desde,
                                   int de_uma_vez, int& falhas, int& divergidas) {
    const std::string programa = programa_atual();
    if (programa.empty()) throw erro_fatal("cannot find the placa executable (/proc/self/exe) to start the study runs");
    std::vector<bool> feitas(rodadas.size(), false);
    std::map<long, std::size_t> vivos;
    std::set<std::string> ditas; // avisos iguais de várias rodadas aparecem uma vez
    std::size_t proxima = 0, terminadas = 0; // terminadas: as que acabaram bem
    anotar_sinais_de_termino();
    for (;;) {
        while (!sinal_anotado() && proxima < rodadas.size() && static_cast<int>(vivos.size()) < de_uma_vez) {
            std::vector<std::string> a{programa};
            a.insert(a.end(), rodadas[proxima].argumentos.begin(), rodadas[proxima].argumentos.end());
            std::string motivo;
            const long id = lancar_filho(a, motivo);
            if (id > 0) vivos[id] = proxima;
            else {
                ++falhas;
                escrever_mensagem("study run " + rodadas[proxima].listagem + " failed: " + motivo);
            }
            ++proxima;
        }
        if (vivos.empty()) break;
        const fim_filho f = esperar_filho();
        if (f.id <= 0) {
            if (f.id < 0) break; // nenhum filho: não deveria acontecer com vivos
            continue;            // um sinal: os filhos o receberam; segue esperando por eles
        }
        const auto v = vivos.find(f.id);
        if (v == vivos.end()) continue;
        const std::size_t k = v->second;
        const rodada_estudo& r = rodadas[k];
        vivos.erase(v);
        if (const int s = sinal_anotado(); s && f.codigo == 128 + s) {
            // o sinal pode chegar entre a efetivação das saídas e o fim do filho: vale o que ficou gravado
            feitas[k] = rodada_gravada(o.resumo, desde, r.listagem);
            terminadas += feitas[k];
            if (!feitas[k])
                escrever_mensagem("study run " + r.listagem + " stopped by the signal (it left no file behind)");
            continue;
        }
        // uma rodada que diverge escreve listagem e linha (o veredito diz divergiu) e sai com codigo_divergiu
        const bool pronta = f.codigo == 0 || f.codigo == codigo_divergiu;
        feitas[k] = pronta;
        terminadas += pronta;
        divergidas += f.codigo == codigo_divergiu;
        std::size_t i = 0;
        for (std::size_t fim; i < f.erros.size(); i = fim + 1) {
            fim = f.erros.find('\n', i);
            if (fim == std::string::npos) fim = f.erros.size();
            std::string linha = f.erros.substr(i, fim - i);
            if (linha.starts_with("placa: ")) linha.erase(0, 7);
            if (linha.empty()) continue;
            if (!pronta) escrever_mensagem("study run " + r.listagem + " failed: " + linha);
            else if (f.codigo == codigo_divergiu && !linha.starts_with("warning: "))
                escrever_mensagem("study run " + r.listagem + ": " + linha);
            else if (ditas.insert(linha).second) escrever_mensagem(linha);
        }
        if (!pronta) {
            ++falhas;
            if (f.erros.empty())
                escrever_mensagem("study run " + r.listagem + " failed with exit status " + std::to_string(f.codigo));
        }
    }
    if (const int s = sinal_anotado()) {
        escrever_mensagem("study interrupted by signal " + std::to_string(s) + ": " + std::to_string(terminadas) + " of " +
                          std::to_string(rodadas.size()) + " runs finished, each with its listing and summary row complete");
        std::fflush(nullptr);
        terminar_pelo_sinal(s);
    }
    instalar_tratamento_de_sinais();
    return feitas;
}

} // namespace

int executar_estudo(const opcoes_execucao& o) {
    if (!o.tabela_estudo.empty()) {
        const resumo_lido r = ler_resumo(o.tabela_estudo);
        std::vector<std::size_t> todas(r.linhas.size());
        for (std::size_t i = 0; i < todas.size(); ++i) todas[i] = i;
        tabela_estudo t = montar_tabela(r, todas, {});
        t.resumo = o.tabela_estudo;
        return mostrar(o, t);
    }
    // a entrada de cada rodada é lida de novo pelo filho: precisa ser um arquivo, não um fluxo
    if (destino_especial(o.entrada))
        throw erro_fatal("a study reads " + o.entrada + " once per run, so it must be a regular file");
    estado_execucao base;
    ler_dados(base, {.arquivo = o.entrada, .editar = false, .alteracoes = o.alteracoes});
    const std::vector<rodada_estudo> rodadas = planejar_estudo(o, base.arquivo_listagem);
    conferir_rodadas(o, rodadas);
    if (o.comandos) {
        const std::string programa = programa_atual(), diretorio = diretorio_atual();
        std::string texto;
        for (const rodada_estudo& r : rodadas) {
            std::vector<std::string> a{programa.empty() ? std::string("placa") : programa};
            a.insert(a.end(), r.argumentos.begin(), r.argumentos.end());
            texto += comando_de_shell(diretorio, a) + "\n";
        }
        escrever_na_saida_padrao(texto);
        return 0;
    }
    const long long desde = tamanho_do_resumo(o.resumo);
    int falhas = 0, divergidas = 0;
    const std::vector<bool> feitas = executar_rodadas(o, rodadas, desde, o.threads > 0 ? o.threads : processadores_disponiveis(),
                                                      falhas, divergidas);
    const bool alguma = std::find(feitas.begin(), feitas.end(), true) != feitas.end();
    const int codigo = alguma ? mostrar(o, tabela_das_rodadas(o, ler_resumo(o.resumo, desde), rodadas, feitas)) : 0;
    const std::string de = " of " + std::to_string(rodadas.size()) + " study runs ";
    if (divergidas > 0) escrever_mensagem(std::to_string(divergidas) + de + "diverged (verdict divergiu in the table)");
    if (falhas > 0) escrever_mensagem(std::to_string(falhas) + de + "failed");
    return falhas > 0 ? 1 : divergidas > 0 ? codigo_divergiu : codigo;
}
