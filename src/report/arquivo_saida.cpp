// Saídas de uma rodada: o relatório diz o que escrever, a plataforma como (temporário, nome, troca).
#include "report/listagem.h"
#include "state/erro_fatal.h"

void falha_de_arquivo(const char* o_que, const std::string& canal, const std::string& arquivo,
                      const falha_arquivo& f) {
    throw erro_fatal(std::string(o_que) + ", " + canal + ", file " + arquivo + ": " + descrever(f));
}

conjunto_saidas::item& conjunto_saidas::abrir(const std::string& arquivo, const std::string& canal,
                                              tipo_temporario tipo) {
    auto novo = std::make_unique<item>();
    novo->arquivo = arquivo;
    novo->canal = canal;
    if (falha_arquivo f = novo->gravacao.abrir(arquivo, tipo)) falha_de_arquivo("cannot open", canal, arquivo, f);
    itens_.push_back(std::move(novo));
    return *itens_.back();
}

void conjunto_saidas::preparar(const std::string& arquivo, const std::string& canal,
                               const std::function<void(saida_texto&)>& produzir, tipo_temporario tipo) {
    item& i = abrir(arquivo, canal, tipo);
    saida_texto s;
    s.destino = [&](const std::string& bloco) {
        if (falha_arquivo f = i.gravacao.escrever(bloco.data(), bloco.size()))
            falha_de_arquivo("write error", canal, arquivo, f);
    };
    produzir(s);
    s.terminar();
}

std::string conjunto_saidas::reservar(const std::string& arquivo, const std::string& canal) {
    return abrir(arquivo, canal, tipo_temporario::para_outro_programa).gravacao.caminho_para_escrita();
}

std::string conjunto_saidas::caminho_temporario(const std::string& arquivo) const {
    for (const auto& i : itens_)
        if (i->arquivo == arquivo) return i->gravacao.caminho_para_escrita();
    return {};
}

void conjunto_saidas::juntar(conjunto_saidas&& outro) {
    for (auto& i : outro.itens_) itens_.push_back(std::move(i));
    outro.itens_.clear();
}

void conjunto_saidas::efetivar() {
    for (auto& i : itens_)
        if (falha_arquivo f = i->gravacao.efetivar()) falha_de_arquivo("write error", i->canal, i->arquivo, f);
    itens_.clear();
}
